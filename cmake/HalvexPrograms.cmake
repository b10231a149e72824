# halvex_install_program(TARGET SUMMARY "one line")
# Installs a user-facing program into bin/ and lists it for the package: a man page made from its --help, its
# name in the AppStream metadata, and the package check that runs it.
function(halvex_install_program target)
    cmake_parse_arguments(P "" "SUMMARY" "" ${ARGN})
    if(NOT P_SUMMARY)
        message(FATAL_ERROR "halvex_install_program(${target}): give a SUMMARY for its man page")
    endif()
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    set_target_properties(${target} PROPERTIES HALVEX_SUMMARY "${P_SUMMARY}")
    set_property(GLOBAL APPEND PROPERTY HALVEX_INSTALLED_PROGRAMS ${target})
endfunction()
