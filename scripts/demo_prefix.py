#!/usr/bin/env python3
"""Seeds a Wine prefix with the demo machine of demo/entries.txt.

Every "app" and "gone" line becomes a small program built here (its own icon
and version resource) and an installer made with NSIS that installs it, puts
it in the Start menu and registers its uninstall entry with a working
uninstaller; the installers run silently in the prefix. A "gone" program's
folder is removed afterwards, so its entry is left without files. "bad" and
"hidden" lines become registry entries, and "startup" lines startup entries in
the Run keys (the machine's in both registry views), the two Startup folders
and their disabled twins; an entry switched off "windows" stays where it runs
from and gets Windows' own record that switches it off. An HKLM32 program is installed by its installer into
the 32-bit program folder and registered in the 32-bit registry view.

    python3 scripts/demo_prefix.py PREFIX [WORKDIR]

The prefix must exist (scripts/wine-env.sh makes fresh ones); WORKDIR (default
build/demo) keeps the programs and installers it builds. Needs mingw-w64,
nsis and wine; prints what it did.
"""
import datetime
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, 'resources', 'glyphs'))
import make_glyphs  # noqa: E402

UNINSTALL = r'Software\Microsoft\Windows\CurrentVersion\Uninstall'
RUN = r'Software\Microsoft\Windows\CurrentVersion\Run'
RUN_HIDDEN = r'Software\Microsoft\Windows\CurrentVersion\Run_Hidden'
APPROVED = r'Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved'
# When Windows switched the "windows" entries off: 5 March 2024, 14:22 UTC.
SWITCHED_OFF = (datetime.datetime(2024, 3, 5, 14, 22) - datetime.datetime(1601, 1, 1)) // datetime.timedelta(
    microseconds=1) * 10
PICTURES = {
    'properties': make_glyphs.properties, 'home': make_glyphs.home, 'autofix': make_glyphs.autofix,
    'new': make_glyphs.new, 'refresh': make_glyphs.refresh, 'app_info': make_glyphs.app_info,
    'power': make_glyphs.exit_,
}
# The registry editor's name of each root; HKLM32 is the machine's 32-bit view,
# where 32-bit programs register, below SOFTWARE\WOW6432Node.
ROOTS = {'HKLM': 'HKEY_LOCAL_MACHINE', 'HKLM32': 'HKEY_LOCAL_MACHINE', 'HKCU': 'HKEY_CURRENT_USER'}


def view_path(root, path):
    """A path below SOFTWARE as the 64-bit view names it."""
    return path.replace('Software\\', 'Software\\WOW6432Node\\', 1) if root == 'HKLM32' else path


def read_entries(path):
    entries = []
    with open(path, encoding='utf-8') as f:
        for line in f:
            line = line.rstrip('\r\n')
            if line and not line.startswith('#'):
                entries.append(line.split('|'))
    return entries


def run(command, **kw):
    subprocess.run(command, check=True, **kw)


def wine(prefix, *args):
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG='-all')
    run(['wine', *args], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    run(['wineserver', '-w'], env=env)


def install_dir(root, name):
    # A 64-bit installer's $PROGRAMFILES32 is Wine's 64-bit folder: the 32-bit one is named.
    folders = {'HKLM': '$PROGRAMFILES64\\', 'HKLM32': 'C:\\Program Files (x86)\\',
               'HKCU': '$LOCALAPPDATA\\Programs\\'}
    return folders[root] + name


def build_program(work, name, version, publisher, picture, exe):
    """The program with its icon and version resource."""
    stem = os.path.splitext(exe)[0]
    icon = os.path.join(work, stem + '.ico')
    if not os.path.exists(icon):
        make_glyphs.write_icon_file(icon, [make_glyphs.render(PICTURES[picture](), s) for s in (48, 32, 16)])
    numbers = ','.join(version.split('.'))
    rc = os.path.join(work, stem + '.rc')
    with open(rc, 'w', encoding='utf-8') as f:
        f.write(f'''#include <winver.h>
1 ICON "{stem}.ico"
STRINGTABLE
BEGIN
  1 "{name}"
END
1 VERSIONINFO
FILEVERSION {numbers}
PRODUCTVERSION {numbers}
FILEOS VOS_NT_WINDOWS32
FILETYPE VFT_APP
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904B0"
    BEGIN
      VALUE "CompanyName", "{publisher}"
      VALUE "FileDescription", "{name}"
      VALUE "FileVersion", "{version}"
      VALUE "ProductName", "{name}"
      VALUE "ProductVersion", "{version}"
      VALUE "LegalCopyright", "Copyright 2026 {publisher}"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x409, 1200
  END
END
''')
    obj = os.path.join(work, stem + '.res.o')
    run(['x86_64-w64-mingw32-windres', rc, '-O', 'coff', '-o', obj], cwd=work)
    run(['x86_64-w64-mingw32-gcc', '-O2', '-municode', '-mwindows', '-static', '-s',
         os.path.join(ROOT, 'demo', 'DemoApp.c'), obj, '-o', os.path.join(work, exe)])


def build_installer(work, root, name, version, publisher, exe):
    """An NSIS installer that installs the program and registers its uninstaller."""
    stem = os.path.splitext(exe)[0]
    key = UNINSTALL + '\\' + name
    context = 'current' if root == 'HKCU' else 'all'
    view = 32 if root == 'HKLM32' else 64
    hive = 'HKLM' if root.startswith('HKLM') else root
    script = os.path.join(work, stem + '.nsi')
    with open(script, 'w', encoding='utf-8') as f:
        f.write(f'''Unicode true
Target amd64-unicode
Name "{name}"
OutFile "{stem}-setup.exe"
InstallDir "{install_dir(root, name)}"
RequestExecutionLevel {'user' if root == 'HKCU' else 'admin'}
AutoCloseWindow true
ShowUninstDetails show
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView {view}
  SetShellVarContext {context}
FunctionEnd

Function un.onInit
  SetRegView {view}
  SetShellVarContext {context}
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File "{exe}"
  WriteUninstaller "$INSTDIR\\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\\{name}.lnk" "$INSTDIR\\{exe}"
  WriteRegStr {hive} "{key}" "DisplayName" "{name}"
  WriteRegStr {hive} "{key}" "DisplayVersion" "{version}"
  WriteRegStr {hive} "{key}" "Publisher" "{publisher}"
  WriteRegStr {hive} "{key}" "DisplayIcon" "$INSTDIR\\{exe},0"
  WriteRegStr {hive} "{key}" "InstallLocation" "$INSTDIR"
  WriteRegStr {hive} "{key}" "UninstallString" '"$INSTDIR\\uninstall.exe"'
  WriteRegStr {hive} "{key}" "URLInfoAbout" "https://{stem.lower()}.example/"
  WriteRegStr {hive} "{key}" "HelpLink" "https://{stem.lower()}.example/help"
  WriteRegDWORD {hive} "{key}" "EstimatedSize" 64
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\\{exe}"
  Delete "$INSTDIR\\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\\{name}.lnk"
  DeleteRegKey {hive} "{key}"
SectionEnd
''')
    run(['makensis', '-V1', script], cwd=work)
    return os.path.join(work, stem + '-setup.exe')


def reg_text(value):
    return value.replace('\\', '\\\\').replace('"', '\\"')


def registry_file(entries, folders):
    """The .reg file for the bad, hidden and registry startup entries."""
    lines = ['Windows Registry Editor Version 5.00', '']
    for e in entries:
        if e[0] == 'bad':
            _, root, name, command = e
            lines += [f'[{ROOTS[root]}\\{view_path(root, UNINSTALL)}\\{name}]', f'"DisplayName"="{reg_text(name)}"',
                      f'"UninstallString"="{reg_text(command)}"', '"Publisher"="Unknown"', '']
        elif e[0] == 'hidden':
            _, root, name, why = e
            lines.append(f'[{ROOTS[root]}\\{view_path(root, UNINSTALL)}\\{name}]')
            if why != 'NoName':
                lines.append(f'"DisplayName"="{reg_text(name)}"')
            if why != 'NoCommand':
                lines.append('"UninstallString"="MsiExec.exe /X{00000000-0000-0000-0000-000000000001}"')
            if why in ('NoRemove', 'NoModify'):
                lines.append(f'"{why}"=dword:00000001')
            lines.append('')
        elif e[0] == 'startup' and 'Key' in e[1]:
            _, store, name, exe, enabled = e
            root = {'AllUsersKey': 'HKLM', 'AllUsersKey32': 'HKLM32', 'CurrentUserKey': 'HKCU'}[store]
            key = view_path(root, RUN_HIDDEN if enabled == 'no' else RUN)
            lines += [f'[{ROOTS[root]}\\{key}]', f'"{reg_text(name)}"="{reg_text(folders[exe])} /tray"', '']
        if e[0] == 'startup' and e[4] == 'windows':
            lines += approved_off_record(e[1], e[2])
    return '\r\n'.join(lines) + '\r\n'


def approved_off_record(store, name):
    """Windows' own record that switches an entry off where it stands, as Task Manager writes it."""
    sub = {'AllUsersKey': 'Run', 'AllUsersKey32': 'Run32', 'CurrentUserKey': 'Run',
           'AllUsersFolder': 'StartupFolder', 'CurrentUserFolder': 'StartupFolder'}[store]
    root = 'HKEY_CURRENT_USER' if store.startswith('CurrentUser') else 'HKEY_LOCAL_MACHINE'
    value = name + '.lnk' if store.endswith('Folder') else name
    data = bytes([3, 0, 0, 0]) + SWITCHED_OFF.to_bytes(8, 'little')
    return [f'[{root}\\{APPROVED}\\{sub}]', f'"{reg_text(value)}"=hex:' + ','.join(f'{b:02x}' for b in data), '']


def startup_installer(work, entries, folders):
    """Shortcuts in both Startup folders and their "Disabled Startup" twins."""
    sections = []
    for e in entries:
        if e[0] == 'startup' and e[1].endswith('Folder'):
            _, store, name, exe, enabled = e
            context = 'all' if store == 'AllUsersFolder' else 'current'
            folder = '$SMPROGRAMS\\Disabled Startup' if enabled == 'no' else '$SMSTARTUP'
            sections.append(f'''  SetShellVarContext {context}
  CreateDirectory "{folder}"
  CreateShortCut "{folder}\\{name}.lnk" "{folders[exe]}"''')
    script = os.path.join(work, 'DemoStartup.nsi')
    with open(script, 'w', encoding='utf-8') as f:
        f.write('Unicode true\nTarget amd64-unicode\nName "Demo startup entries"\nOutFile "DemoStartup.exe"\n'
                'RequestExecutionLevel admin\nSilentInstall silent\n\nSection\n' + '\n'.join(sections) +
                '\nSectionEnd\n')
    run(['makensis', '-V1', script], cwd=work)
    return os.path.join(work, 'DemoStartup.exe')


def windows_path(prefix, root, name, exe):
    """Where an installer puts the program, as Windows sees it."""
    user = os.environ.get('USER') or 'root'
    base = {'HKLM': 'C:\\Program Files\\', 'HKLM32': 'C:\\Program Files (x86)\\',
            'HKCU': f'C:\\users\\{user}\\AppData\\Local\\Programs\\'}[root]
    return base + name + '\\' + exe


def unix_folder(prefix, windows):
    drive, rest = windows.split(':', 1)
    return os.path.join(prefix, 'drive_' + drive.lower(), *[p for p in rest.split('\\') if p])


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    prefix = os.path.abspath(sys.argv[1])
    work = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, 'build', 'demo'))
    os.makedirs(work, exist_ok=True)
    entries = read_entries(os.path.join(ROOT, 'demo', 'entries.txt'))

    folders = {}
    for e in entries:
        if e[0] in ('app', 'gone'):
            _, root, name, version, publisher, picture, exe = e
            build_program(work, name, version, publisher, picture, exe)
            setup = build_installer(work, root, name, version, publisher, exe)
            wine(prefix, setup, '/S')
            folders[exe] = windows_path(prefix, root, name, exe)
            print(f'installed {name} ({root})')
    for e in entries:
        if e[0] == 'gone':
            _, root, name, _, _, _, exe = e
            folder = unix_folder(prefix, folders[exe].rsplit('\\', 1)[0])
            for f in os.listdir(folder):
                os.remove(os.path.join(folder, f))
            os.rmdir(folder)
            print(f'removed the files of {name}')

    reg = os.path.join(work, 'demo.reg')
    with open(reg, 'w', encoding='utf-16') as f:
        f.write(registry_file(entries, folders))
    wine(prefix, 'regedit', '/s', reg)
    print('added the entries without files, the ones that are no applications, and the Run keys')
    wine(prefix, startup_installer(work, entries, folders))
    print('added the Startup folder entries')


if __name__ == '__main__':
    main()
