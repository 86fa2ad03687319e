#include "backends/opengl/shader_source.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <string>

namespace {

std::string stage(const char* source, const char* name) {
    char* text = assembleShaderStage(source, name);
    std::string result = text ? text : "<null>";
    free(text);
    return result;
}

TEST(ShaderSource, TheDefineFollowsTheVersionLine) {
    const char* source = "#version 130\n#ifdef VERTEX_SHADER_SOURCE\nvoid main() {}\n#endif\n";
    EXPECT_EQ(stage(source, "VERTEX_SHADER_SOURCE"),
              "#version 130\n#define VERTEX_SHADER_SOURCE\n#ifdef VERTEX_SHADER_SOURCE\nvoid main() {}\n#endif\n");
    EXPECT_EQ(stage(source, "FRAGMENT_SHADER_SOURCE"),
              "#version 130\n#define FRAGMENT_SHADER_SOURCE\n#ifdef VERTEX_SHADER_SOURCE\nvoid main() {}\n#endif\n");
}

TEST(ShaderSource, LinesBeforeTheFirstDirectiveStayInFront) {
    EXPECT_EQ(stage("// a comment\n\n#version 130\nrest\n", "X"), "// a comment\n\n#version 130\n#define X\nrest\n");
    // A hash inside the first line counts as that line's directive.
    EXPECT_EQ(stage("int a; // #1\nb\n", "X"), "int a; // #1\n#define X\nb\n");
}

TEST(ShaderSource, UnusualSourcesStillGiveOneDefineLine) {
    EXPECT_EQ(stage("void main() {}\n", "X"), "#define X\nvoid main() {}\n");
    EXPECT_EQ(stage("#version 130", "X"), "#version 130\n#define X\n");
    EXPECT_EQ(stage("", "X"), "#define X\n");
    EXPECT_EQ(assembleShaderStage(nullptr, "X"), nullptr);
}

TEST(ShaderSource, ElementNames) {
    char name[UNIFORM_ELEMENT_NAME_CAPACITY];
    ASSERT_TRUE(formatElementName(name, "matrices", 128, 64));
    EXPECT_STREQ(name, "matrices[2]");
    ASSERT_TRUE(formatElementName(name, "offsets", 24, 12));
    EXPECT_STREQ(name, "offsets[2]");
    ASSERT_TRUE(formatElementName(name, "w", 0, 4));
    EXPECT_STREQ(name, "w[0]");
    // 63 characters fit; one more would be cut into another name.
    const std::string fits(60, 'a');
    ASSERT_TRUE(formatElementName(name, fits.c_str(), 4, 4));
    EXPECT_EQ(strlen(name), 63u);
    const std::string tooLong(61, 'a');
    EXPECT_FALSE(formatElementName(name, tooLong.c_str(), 4, 4));
    EXPECT_STREQ(name, "");
    EXPECT_FALSE(formatElementName(name, "a", 4, 0));
    EXPECT_FALSE(formatElementName(name, nullptr, 4, 4));
}

} // namespace
