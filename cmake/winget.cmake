# Writes the winget manifest of the built setup (cmake -P): the version, the
# installer and the default locale file, from package/winget/*.in.
#   SETUP  the setup program        VERSION      its version
#   TEMPLATES  the templates' folder   RELEASE_URL  where this version's files are published
#   OUT    the folder to write
foreach(name SETUP VERSION TEMPLATES RELEASE_URL OUT)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "winget.cmake needs -D${name}=")
  endif()
endforeach()
file(SHA256 ${SETUP} sha256)
string(TOUPPER ${sha256} sha256)
set(version ${VERSION})
string(REGEX REPLACE "/+$" "" release_url "${RELEASE_URL}")
file(REMOVE_RECURSE ${OUT})
foreach(file Marlinet.Marlinet.yaml Marlinet.Marlinet.installer.yaml
             Marlinet.Marlinet.locale.en-US.yaml)
  configure_file(${TEMPLATES}/${file}.in ${OUT}/${file} @ONLY)
endforeach()
