# Source lists. New files in these folders join their target on the next configure.
file(GLOB TAVRI_LIBRARY_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/platform/common/*.cpp
    ${CMAKE_SOURCE_DIR}/framework/*.cpp
    ${CMAKE_SOURCE_DIR}/skin/*.cpp
    ${CMAKE_SOURCE_DIR}/modules/logic/*.cpp
    ${CMAKE_SOURCE_DIR}/modules/widgets/*.cpp)
if(WIN32)
    file(GLOB TAVRI_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/win32/*.cpp)
else()
    file(GLOB TAVRI_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/linux/*.cpp)
    file(GLOB TAVRI_STANDIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/standin/*.cpp)
endif()
list(APPEND TAVRI_LIBRARY_SOURCES ${TAVRI_PLATFORM_SOURCES})

file(GLOB TAVRI_TESTHOST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/host/*.cpp)
