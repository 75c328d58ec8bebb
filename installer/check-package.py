#!/usr/bin/env python3
"""Checks a built Velmora package against the rules the Windows Installer's
validation would hold it to, read from its tables (msiinfo export), as that
validation suite does not run on Linux.

    check-package.py PACKAGE [OTHER]

With OTHER (the package of the other platform), also checks that the two agree
on everything but the platform. Prints each broken rule; exits 1 if any.
"""
import re
import os
import subprocess
import sys
import tempfile

SHORT_NAME = re.compile(r"^[A-Z0-9_~!#$%&'()@^{}-]{1,8}(\.[A-Z0-9_~!#$%&'()@^{}-]{1,3})?$")
HKCU = "1"
REGISTRY_KEY_PATH = 4
IN_SCRIPT = 0x400
DEFERRED_ONLY = {0x100: "rollback", 0x200: "commit", 0x800: "no impersonation"}
DLL_ACTION = 0x1
IGNORE_RESULT = 0x40
# The removal's clean-up: which action, and what it must be.
CLEANUP_ACTION = "EndVelmora"
CLEANUP_TYPE = DLL_ACTION | IGNORE_RESULT
CLEANUP_CONDITION = ('REMOVE~="ALL"', "NOT UPGRADINGPRODUCTCODE")
MAX_INCLUSIVE = 0x200
ONLY_DETECT = 0x2
# Tables and columns that differ between the platforms by design.
PLATFORM_COLUMNS = {
    "Component": {"ComponentId", "Attributes"},
    "Directory": {"Directory", "Directory_Parent"},
    "File": {"FileSize"},
    "Registry": {"Value"},
}


def table(package, name):
    """The rows of a table as dicts; none when the package lacks it. A table of streams
    (Icon, Binary) is exported with its streams as files, into a folder that then goes."""
    try:
        with tempfile.TemporaryDirectory() as scratch:
            text = subprocess.run(["msiinfo", "export", os.path.abspath(package), name], check=True,
                                  capture_output=True, text=True, cwd=scratch).stdout
    except subprocess.CalledProcessError:
        return []
    lines = text.split("\r\n") if "\r\n" in text else text.split("\n")
    if len(lines) < 3:
        return []
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def properties(package):
    return {row["Property"]: row["Value"] for row in table(package, "Property")}


def check_names(package, errors):
    # ICE03: each file and shortcut has a short name and a long one, "SHORT|long name".
    for name, column in (("File", "FileName"), ("Shortcut", "Name")):
        for row in table(package, name):
            short, bar, long = row[column].partition("|")
            if not bar or not SHORT_NAME.match(short) or not long:
                errors.append(f"{name} {row[name]}: '{row[column]}' is not a short and a long name")


def check_user_key_paths(package, errors):
    # ICE38, ICE43: a component of Start-menu entries keeps its key path in HKCU.
    components = {row["Component"]: row for row in table(package, "Component")}
    registry = {row["Registry"]: row for row in table(package, "Registry")}
    for component in sorted({row["Component_"] for row in table(package, "Shortcut")}):
        row = components.get(component)
        key = registry.get(row["KeyPath"]) if row else None
        if not row or not int(row["Attributes"]) & REGISTRY_KEY_PATH or not key or key["Root"] != HKCU:
            errors.append(f"Component {component}: has shortcuts but its key path is not a value under HKCU")


def check_custom_actions(package, errors):
    # ICE68: an immediate action carries no flag that only a deferred one may.
    for row in table(package, "CustomAction"):
        kind = int(row["Type"])
        if kind & IN_SCRIPT:
            continue
        for flag, meaning in DEFERRED_ONLY.items():
            if kind & flag:
                errors.append(f"CustomAction {row['Action']}: immediate (type {kind}) but marked {meaning}")


def check_removal_cleanup(package, errors):
    # Immediate, so it runs as the removing user; its failure never stops a removal;
    # at removal only, not when an upgrade removes the older product; after the
    # launch conditions, so a refused removal ends nothing; and before
    # InstallValidate, which looks for files in use.
    actions = {row["Action"]: row for row in table(package, "CustomAction")}
    action = actions.get(CLEANUP_ACTION)
    if not action:
        errors.append(f"CustomAction {CLEANUP_ACTION}: missing")
        return
    if int(action["Type"]) != CLEANUP_TYPE:
        errors.append(f"CustomAction {CLEANUP_ACTION}: type {action['Type']}, not {CLEANUP_TYPE} "
                      "(an immediate DLL action whose failure is ignored)")
    if action["Source"] not in {row["Name"] for row in table(package, "Binary")}:
        errors.append(f"CustomAction {CLEANUP_ACTION}: its DLL {action['Source']} is not in the Binary table")
    sequence = {row["Action"]: row for row in table(package, "InstallExecuteSequence")}
    row = sequence.get(CLEANUP_ACTION)
    bounds = [sequence.get(name) for name in ("LaunchConditions", "InstallValidate")]
    if not row or not all(bounds) or not int(bounds[0]["Sequence"]) < int(row["Sequence"]) < int(bounds[1]["Sequence"]):
        errors.append(f"InstallExecuteSequence: {CLEANUP_ACTION} is not scheduled between LaunchConditions "
                      "and InstallValidate")
    elif any(part not in row["Condition"] for part in CLEANUP_CONDITION):
        errors.append(f"InstallExecuteSequence: {CLEANUP_ACTION} is not conditioned on a removal that is no upgrade")


def check_upgrade(package, errors):
    props = properties(package)
    code = props.get("UpgradeCode")
    rows = [row for row in table(package, "Upgrade") if row["UpgradeCode"] == code]
    if not rows:
        errors.append("Upgrade: no rows for the package's upgrade code")
        return
    secure = set(props.get("SecureCustomProperties", "").split(";"))
    for row in rows:
        prop = row["ActionProperty"]
        if prop != prop.upper() or prop not in secure:
            errors.append(f"Upgrade: detection property {prop} is not public and secure")
    version = props.get("ProductVersion")
    older = [r for r in rows if r["VersionMax"] == version and int(r["Attributes"]) & MAX_INCLUSIVE]
    newer = [r for r in rows if r["VersionMin"] == version and int(r["Attributes"]) & ONLY_DETECT]
    if not older:
        errors.append("Upgrade: no row removes installed products up to this version")
    conditions = [row["Condition"] for row in table(package, "LaunchCondition")]
    if not newer or not any(newer[0]["ActionProperty"] in condition for condition in conditions):
        errors.append("Upgrade: a newer installed product is not refused by a launch condition")
    sequence = {row["Action"] for row in table(package, "InstallExecuteSequence")}
    for action in ("FindRelatedProducts", "RemoveExistingProducts"):
        if action not in sequence:
            errors.append(f"InstallExecuteSequence: {action} is not scheduled")


def comparable(package, name):
    drop = PLATFORM_COLUMNS.get(name, set())
    rows = [tuple(sorted((k, v) for k, v in row.items() if k not in drop)) for row in table(package, name)]
    return sorted(rows)


def check_agreement(package, other, errors):
    names = sorted(set(subprocess.run(["msiinfo", "tables", package], check=True, capture_output=True,
                                      text=True).stdout.split()))
    for name in names:
        if name in ("_SummaryInformation", "_ForceCodepage", "Media", "MsiFileHash"):
            continue
        if name == "Property":
            mine = {k: v for k, v in properties(package).items() if k != "ProductCode"}
            theirs = {k: v for k, v in properties(other).items() if k != "ProductCode"}
            if mine != theirs:
                errors.append(f"Property: the packages differ: {sorted(set(mine.items()) ^ set(theirs.items()))}")
        elif comparable(package, name) != comparable(other, name):
            errors.append(f"{name}: the packages differ beyond the platform")


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    package = sys.argv[1]
    errors = []
    check_names(package, errors)
    check_user_key_paths(package, errors)
    check_custom_actions(package, errors)
    check_removal_cleanup(package, errors)
    check_upgrade(package, errors)
    if len(sys.argv) == 3:
        check_agreement(package, sys.argv[2], errors)
    for error in errors:
        print(f"{package}: {error}")
    print(f"{package}: {'%d rule(s) broken' % len(errors) if errors else 'every rule holds'}"
          + ("" if len(sys.argv) == 3 else "; not compared with the other platform's package"))
    sys.exit(1 if errors else 0)


if __name__ == "__main__":
    main()
