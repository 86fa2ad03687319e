# Imported targets for the libraries the code links against. Natively they come
# from Debian's -dev packages; for Windows from the prefix that scripts/deps.sh builds
# (FreeType, libpng, GoogleTest), libz-mingw-w64-dev (zlib) and rapidjson-dev.
set(QUARLO_CACHE_DIR "${CMAKE_SOURCE_DIR}/.cache" CACHE PATH
    "Where scripts/deps.sh keeps the Windows dependencies and Debian's source packages")
if(QUARLO_WINDOWS)
  set(QUARLO_WINDOWS_PREFIX "${QUARLO_CACHE_DIR}/mingw-prefix" CACHE PATH
      "Where scripts/deps.sh installed the Windows dependencies")
  set(_p ${QUARLO_WINDOWS_PREFIX})
  foreach(_f lib/libfreetype.a lib/libpng16.a lib/libgtest.a include/rapidjson/document.h .freetype-system-zlib)
    if(NOT EXISTS ${_p}/${_f})
      message(FATAL_ERROR "${_p}/${_f} is missing: run scripts/deps.sh first")
    endif()
  endforeach()

  add_library(Quarlo::ZLIB STATIC IMPORTED)
  set_target_properties(Quarlo::ZLIB PROPERTIES IMPORTED_LOCATION /usr/x86_64-w64-mingw32/lib/libz.a)

  add_library(Quarlo::FreeType STATIC IMPORTED)
  set_target_properties(Quarlo::FreeType PROPERTIES IMPORTED_LOCATION ${_p}/lib/libfreetype.a
    INTERFACE_INCLUDE_DIRECTORIES ${_p}/include/freetype2 INTERFACE_LINK_LIBRARIES Quarlo::ZLIB)

  add_library(Quarlo::PNG STATIC IMPORTED)
  set_target_properties(Quarlo::PNG PROPERTIES IMPORTED_LOCATION ${_p}/lib/libpng16.a
    INTERFACE_INCLUDE_DIRECTORIES ${_p}/include/libpng16
    INTERFACE_LINK_LIBRARIES Quarlo::ZLIB)

  add_library(Quarlo::RapidJSON INTERFACE IMPORTED)
  set_target_properties(Quarlo::RapidJSON PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_p}/include)

  add_library(Quarlo::GTest STATIC IMPORTED)
  set_target_properties(Quarlo::GTest PROPERTIES IMPORTED_LOCATION ${_p}/lib/libgtest.a
    INTERFACE_INCLUDE_DIRECTORIES ${_p}/include)
  add_library(Quarlo::GTestMain STATIC IMPORTED)
  set_target_properties(Quarlo::GTestMain PROPERTIES IMPORTED_LOCATION ${_p}/lib/libgtest_main.a
    INTERFACE_LINK_LIBRARIES Quarlo::GTest)
else()
  find_package(Freetype REQUIRED)
  find_package(PNG REQUIRED)
  find_package(GTest REQUIRED)
  add_library(Quarlo::FreeType INTERFACE IMPORTED)
  set_target_properties(Quarlo::FreeType PROPERTIES INTERFACE_LINK_LIBRARIES Freetype::Freetype)
  add_library(Quarlo::PNG INTERFACE IMPORTED)
  set_target_properties(Quarlo::PNG PROPERTIES INTERFACE_LINK_LIBRARIES PNG::PNG)
  add_library(Quarlo::RapidJSON INTERFACE IMPORTED)
  set_target_properties(Quarlo::RapidJSON PROPERTIES INTERFACE_INCLUDE_DIRECTORIES /usr/include)
  add_library(Quarlo::GTest INTERFACE IMPORTED)
  set_target_properties(Quarlo::GTest PROPERTIES INTERFACE_LINK_LIBRARIES GTest::gtest)
  add_library(Quarlo::GTestMain INTERFACE IMPORTED)
  set_target_properties(Quarlo::GTestMain PROPERTIES INTERFACE_LINK_LIBRARIES GTest::gtest_main)
endif()
