# Fails unless README.md's line of the version and the newest entry of
# CHANGELOG.md name VERSION, the project's.
# Usage: cmake -DVERSION=1.1.0 -DSOURCE=<source folder> -P check-docs-version.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT VERSION OR NOT SOURCE)
  message(FATAL_ERROR "Usage: cmake -DVERSION=<x.y.z> -DSOURCE=<source folder> -P check-docs-version.cmake")
endif()
file(STRINGS "${SOURCE}/README.md" readme REGEX "^Version " ENCODING UTF-8)
if(NOT readme MATCHES "^Version ${VERSION} ")
  message(FATAL_ERROR "README.md says \"${readme}\", not version ${VERSION}, the version of project()")
endif()
file(STRINGS "${SOURCE}/CHANGELOG.md" headings REGEX "^## " ENCODING UTF-8)
list(GET headings 0 newest)
if(NOT newest STREQUAL "## ${VERSION}")
  message(FATAL_ERROR "CHANGELOG.md's newest entry is \"${newest}\", not \"## ${VERSION}\", the version of project()")
endif()
message(STATUS "README.md and CHANGELOG.md name version ${VERSION}")
