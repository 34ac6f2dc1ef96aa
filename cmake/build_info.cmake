# Writes the build information of a release (cmake -P): the tools that made
# its files and their versions, so that whoever rebuilds it to check it can
# take the same ones. The same tools give the same files byte for byte.
#   OUT       the file to write             VERSION   Marlinet's version
#   CXX       the Windows compiler          LD        its linker (binutils)
#   HOST_CXX  the compiler of the programs that compute the sounds and pictures
#   MAKENSIS  NSIS, which builds the setup  ZIP       Info-ZIP's zip (may be empty)
cmake_policy(VERSION 3.25)
foreach(name OUT VERSION CXX LD HOST_CXX MAKENSIS)
  if(NOT DEFINED ${name} OR "${${name}}" STREQUAL "")
    message(FATAL_ERROR "build_info.cmake needs -D${name}=")
  endif()
endforeach()
find_program(dpkg_query dpkg-query)

set(text "Marlinet ${VERSION}: the tools its release files were built with\n")
# tool <label> <program> [<line> <argument>...]: the line of the program's
# answer to the arguments that matches <line> (its version), and the Debian
# package and version the program or file comes from, where known.
function(tool label program)
  set(parts)
  if(ARGC GREATER 2)
    list(POP_FRONT ARGN pattern)
    execute_process(COMMAND ${program} ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE out
                    RESULT_VARIABLE failed)
    string(REPLACE "\r" "" out "${out}")
    string(REPLACE "\n" ";" lines "${out}")
    list(FILTER lines INCLUDE REGEX "${pattern}")
    list(POP_FRONT lines version)
    if(failed OR NOT version)
      message(FATAL_ERROR "${program} ${ARGN} gives no version: ${out}")
    endif()
    string(STRIP "${version}" version)
    list(APPEND parts "${version}")
  endif()
  file(REAL_PATH ${program} path)
  if(dpkg_query)
    execute_process(COMMAND ${dpkg_query} -S ${path} OUTPUT_VARIABLE owner ERROR_QUIET
                    RESULT_VARIABLE failed)
    if(NOT failed AND owner MATCHES "^([^:, ]+)(:[a-z0-9]+)?: ")
      set(package ${CMAKE_MATCH_1})
      execute_process(COMMAND ${dpkg_query} -W -f=\${Version} ${package}
                      OUTPUT_VARIABLE package_version ERROR_QUIET)
      list(APPEND parts "Debian package ${package} ${package_version}")
    endif()
  endif()
  list(JOIN parts "; " parts)
  set(text "${text}${label}: ${parts}\n" PARENT_SCOPE)
endfunction()

tool("Windows compiler" ${CXX} "." --version)
# The MinGW-w64 runtime linked into the programs, as the compiler finds it.
execute_process(COMMAND ${CXX} -print-file-name=libmingwex.a OUTPUT_VARIABLE runtime
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(IS_ABSOLUTE "${runtime}" AND EXISTS "${runtime}")
  tool("MinGW-w64 runtime" ${runtime})
endif()
tool("binutils" ${LD} "." --version)
tool("host compiler (sounds, pictures)" ${HOST_CXX} "." --version)
tool("NSIS" ${MAKENSIS} "." -VERSION)
if(ZIP)
  tool("zip" ${ZIP} "^This is Zip" -v)
else()
  string(APPEND text "zip: none (CMake's own zip writer)\n")
endif()
string(APPEND text "CMake: ${CMAKE_VERSION}\n")
file(WRITE ${OUT} "${text}")
