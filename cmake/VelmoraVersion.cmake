# velmora_version_folder(VERSION OUT): writes the manifest and Version.h for
# VERSION (major.minor.patch) into a folder of their own, named in OUT, which a
# target that compiles resources/Identity.rc puts first among its include folders.
function(velmora_version_folder version out)
    string(REPLACE "." ";" parts "${version}")
    list(LENGTH parts count)
    if(NOT count EQUAL 3)
        message(FATAL_ERROR "A version is major.minor.patch, not ${version}")
    endif()
    list(APPEND parts 0)
    list(JOIN parts "," VELMORA_VERSION_COMMAS)
    list(JOIN parts "." VELMORA_VERSION_QUAD)
    set(folder ${CMAKE_BINARY_DIR}/generated/version-${version})
    set(VELMORA_MANIFEST ${folder}/Velmora.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/resources/Velmora.manifest.in ${VELMORA_MANIFEST} @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/Version.h.in ${folder}/Version.h @ONLY)
    foreach(script Identity.rc Velmora.rc)
        set_property(SOURCE ${PROJECT_SOURCE_DIR}/resources/${script} APPEND PROPERTY OBJECT_DEPENDS
            ${VELMORA_MANIFEST} ${folder}/Version.h ${PROJECT_SOURCE_DIR}/resources/Identity.rc
            ${PROJECT_SOURCE_DIR}/resources/images/velmora.ico)
    endforeach()
    set(${out} ${folder} PARENT_SCOPE)
endfunction()

# velmora_identity(TARGET VERSION [UNINSTALLER]): TARGET's resources carry the
# program's manifest, icon and version of VERSION. Velmora's resource script
# includes Identity.rc (one script numbers its icon images once); the
# uninstaller's resources are Identity.rc alone.
function(velmora_identity target version)
    velmora_version_folder(${version} folder)
    target_include_directories(${target} BEFORE PRIVATE ${folder} ${PROJECT_SOURCE_DIR}/resources)
    if(ARGN STREQUAL "UNINSTALLER")
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/resources/Identity.rc)
        target_compile_definitions(${target} PRIVATE VELMORA_UNINSTALLER)
    endif()
endfunction()
