# cmake -DBINARY_DIR=... -DVERSION=... -DPACKAGE_NAME=... -P CheckPackage.cmake
# Makes the package with cpack in a scratch folder, unpacks it into another,
# checks the installation layout and runs bin/palettor-cli --version and
# bin/palettor --version from the unpacked folder.

set(scratch ${BINARY_DIR}/package-check)
file(REMOVE_RECURSE ${scratch})
file(MAKE_DIRECTORY ${scratch}/unpacked)

execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G TGZ -B ${scratch} --config ${BINARY_DIR}/CPackConfig.cmake
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
set(archive ${scratch}/${PACKAGE_NAME}.tar.gz)
if(NOT result EQUAL 0 OR NOT EXISTS ${archive})
    message(FATAL_ERROR "cpack did not make ${archive}:\n${output}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar xzf ${archive} WORKING_DIRECTORY ${scratch}/unpacked
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "could not unpack ${archive}")
endif()

set(root ${scratch}/unpacked/${PACKAGE_NAME})
foreach(entry bin/palettor bin/palettor-cli Data Help/index.html Help/topics.json Themes StimulSet.ini
              ColorTest.dat palettor.desktop palettor.svg README.txt)
    if(NOT EXISTS ${root}/${entry})
        message(FATAL_ERROR "the package has no ${entry}")
    endif()
endforeach()
if(NOT IS_DIRECTORY ${root}/Data)
    message(FATAL_ERROR "Data in the package is not a folder")
endif()

foreach(program palettor-cli palettor)
    execute_process(COMMAND ${root}/bin/${program} --version RESULT_VARIABLE result OUTPUT_VARIABLE output
                    ERROR_VARIABLE errors)
    if(NOT result EQUAL 0 OR NOT output MATCHES "${VERSION}")
        message(FATAL_ERROR "${program} --version from the package gave ${result}: ${output}${errors}")
    endif()
    message(STATUS "${program} --version: ${output}")
endforeach()
file(REMOVE_RECURSE ${scratch})
