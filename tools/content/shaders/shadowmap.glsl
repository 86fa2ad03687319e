#version 130
// Ambient darkening laid over the room with alpha blending: black, more opaque with
// distance and on surfaces that face down. Level meshes and interactables are stored
// in world coordinates and drawn unturned, so inNormal is already a world normal.
// Kept light: where surfaces overlap on screen the layers add up.
#ifdef VERTEX_SHADER_SOURCE
in vec3 inVertex;
in vec2 inTexCoord;
in vec3 inColor;
in vec3 inNormal;
uniform mat4 mvMat;
uniform mat4 projMat;
out float viewDistance;
out float downward;
void main() {
    vec4 viewPosition = mvMat * vec4(inVertex, 1.0);
    viewDistance = length(viewPosition.xyz);
    downward = max(-inNormal.z, 0.0);
    gl_Position = projMat * viewPosition;
}
#endif
#ifdef FRAGMENT_SHADER_SOURCE
in float viewDistance;
in float downward;
out vec4 outColor;
void main() {
    float alpha = 0.25 * smoothstep(1.5, 9.0, viewDistance) + 0.2 * downward;
    outColor = vec4(0.0, 0.0, 0.0, clamp(alpha, 0.0, 0.45));
}
#endif
