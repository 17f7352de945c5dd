# The version and the build date the programs print and the about window
# shows. The version header changes only with the project's version; the date
# header is rewritten at each build only when the day has changed, so only the
# about window is compiled again. SOURCE_DATE_EPOCH, when set, fixes the date.

set(palettor_generated ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/PalettorVersion.h.in ${palettor_generated}/PalettorVersion.h @ONLY)

add_custom_target(build_date
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${palettor_generated}/BuildDate.h -P ${CMAKE_CURRENT_LIST_DIR}/WriteBuildDate.cmake
    BYPRODUCTS ${palettor_generated}/BuildDate.h
    COMMENT "Stamping the build date")

target_include_directories(palettor_app PUBLIC ${palettor_generated})
add_dependencies(palettor_app build_date)
target_include_directories(palettor-cli PRIVATE ${palettor_generated})
