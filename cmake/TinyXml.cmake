# TinyXML 2.6.2 for the Windows builds, compiled from Debian's source package
# (patches applied) that scripts/fetch-tinyxml.sh puts into .deps/tinyxml.
# Built with TIXML_USE_STL, as Debian builds its own library.
set(QUOR_TINYXML_DIR ${CMAKE_SOURCE_DIR}/.deps/tinyxml CACHE PATH "TinyXML sources (Debian source package)")

set(quor_tinyxml_sources tinyxml.cpp tinyxmlparser.cpp tinyxmlerror.cpp tinystr.cpp)
foreach(src ${quor_tinyxml_sources} tinyxml.h tinystr.h)
  if(NOT EXISTS ${QUOR_TINYXML_DIR}/${src})
    message(FATAL_ERROR "TinyXML sources are missing (${QUOR_TINYXML_DIR}/${src}): run scripts/setup.sh")
  endif()
endforeach()
list(TRANSFORM quor_tinyxml_sources PREPEND ${QUOR_TINYXML_DIR}/)

add_library(tinyxml STATIC ${quor_tinyxml_sources})
target_include_directories(tinyxml SYSTEM PUBLIC ${QUOR_TINYXML_DIR})
target_compile_definitions(tinyxml PUBLIC TIXML_USE_STL)
target_compile_options(tinyxml PRIVATE -w)
