# Builds one Velmora package: cmake -D WXS=... -D OUTPUT=... -D PLATFORM=x86|x64
#   -D VERSION=major.minor.patch -D UPGRADE_CODE=... -D VELMORA_EXE=... -D UNINSTALL_EXE=...
#   -D HELP_FILE=... -D CLEANUP_DLL=... -D ICON=... -D WEB_ADDRESS=... -P BuildPackage.cmake
# Each run gives the package a product code of its own, so every build is a
# product of its own that replaces any installed one of the upgrade code.
string(RANDOM LENGTH 32 ALPHABET 0123456789abcdef seed)
string(REGEX REPLACE "[{}]" "" namespace ${UPGRADE_CODE})
string(UUID product_code NAMESPACE ${namespace} NAME "${seed}" TYPE SHA1 UPPER)
set(product_code "{${product_code}}")
# wixl takes file sources relative to the folder it runs in.
get_filename_component(work_folder ${OUTPUT} DIRECTORY)
foreach(source VELMORA_EXE UNINSTALL_EXE HELP_FILE CLEANUP_DLL ICON)
    file(RELATIVE_PATH ${source} ${work_folder} ${${source}})
endforeach()
execute_process(
    COMMAND wixl -a ${PLATFORM} -D Platform=${PLATFORM} -D ProductCode=${product_code}
            -D Version=${VERSION} -D UpgradeCode=${UPGRADE_CODE}
            -D VelmoraExe=${VELMORA_EXE} -D UninstallExe=${UNINSTALL_EXE} -D HelpFile=${HELP_FILE}
            -D CleanupDll=${CLEANUP_DLL}
            -D Icon=${ICON} -D WebAddress=${WEB_ADDRESS}
            -o ${OUTPUT}.part ${WXS}
    WORKING_DIRECTORY ${work_folder}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    file(REMOVE ${OUTPUT}.part)
    message(FATAL_ERROR "wixl failed on ${WXS}")
endif()
# What wixl cannot write itself: the same version counts as older, so a rebuild of
# it replaces the installed one (attributes: minimum and maximum inclusive); the
# install folder's property is set at once, not as a deferred action; the removal's
# clean-up is an immediate DLL action whose failure is ignored (1 + 64), before
# InstallValidate; and the programs' versions, which their version resources
# carry, are in the File table.
execute_process(
    COMMAND msibuild ${OUTPUT}.part
        -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'OLDERVERSIONFOUND'"
        -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('${UPGRADE_CODE}', '0.0.0', '${VERSION}', 768, 'OLDERVERSIONFOUND')"
        -q "UPDATE `CustomAction` SET `Type` = 51 WHERE `Action` = 'SetInstallLocation'"
        -q "UPDATE `CustomAction` SET `Type` = 65 WHERE `Action` = 'EndVelmora'"
        -q "UPDATE `InstallExecuteSequence` SET `Sequence` = 1399 WHERE `Action` = 'EndVelmora'"
        -q "UPDATE `File` SET `Version` = '${VERSION}.0', `Language` = '1033' WHERE `File` = 'VelmoraExe' OR `File` = 'UninstallExe'"
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    file(REMOVE ${OUTPUT}.part)
    message(FATAL_ERROR "msibuild could not finish ${OUTPUT}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
