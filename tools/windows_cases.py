"""Runs the same command lines through the Linux programs and, under Wine,
through the Windows programs of the package, and requires the same exit
codes, printed text and files: results files, images, listings, in a fresh
copy of one folder tree each. Windows command lines spell their paths the
Windows way (sub\\prog.vk6, C:\\..., names with blanks, long paths); the
Linux results are turned into the Windows spelling for the comparison.

Called by tools/test-windows, which sets up Wine and the two builds:
  windows_cases.py LINUX_BUILD WINDOWS_BIN SCRATCH WINE
WINDOWS_BIN is the package's bin folder as Windows sees it; the Linux tree
goes in SCRATCH, the Windows one in C:\vk6 of $WINEPREFIX.
"""
import os
import shutil
import subprocess
import sys

linux_build, windows_bin, scratch, wine = sys.argv[1:5]
examples_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")
windows_root = os.path.join(os.environ["WINEPREFIX"], "drive_c", "vk6")
dos_root = "C:\\vk6"
linux_root = os.path.join(scratch, "tree")

# Links named as installed, so both platforms show the same program name.
linux_bin = os.path.join(scratch, "bin")
shutil.rmtree(linux_bin, ignore_errors=True)
os.makedirs(linux_bin)
for model in ("617q", "610q"):
    os.symlink(os.path.abspath(os.path.join(linux_build, "VK" + model.upper(), "vk6comp")),
               os.path.join(linux_bin, "vk6comp-" + model))
os.symlink(os.path.abspath(os.path.join(linux_build, "vk6dump")),
           os.path.join(linux_bin, "vk6dump"))

SOUND = (b"' A table, so that -l and -z have something to write.\r\n"
         b"Public PTemp, Batt\r\n"
         b"Units PTemp = \xb0C\r\n"
         b"DataTable(Hourly, True, -1)\r\n"
         b"  DataInterval(0, 60, Min)\r\n"
         b"  Average(1, PTemp, False)\r\n"
         b"  Minimum(1, Batt, False, 0)\r\n"
         b"EndTable\r\n"
         b"BeginProg\r\n"
         b"  Scan(10, Sec)\r\n"
         b"    PanelTemp(PTemp)\r\n"
         b"    Battery(Batt)\r\n"
         b"    CallTable Hourly\r\n"
         b"  NextScan\r\n"
         b"EndProg\r\n")
FAILING = {
    "errors.vk6": b"Public X\r\nBeginProg\r\n  Scan(1, Sec)\r\n  Foo\r\n"
                  b"  X = (1 +\r\n  VoltSe(X, 99, 3, 1.0, 0)\r\n  NextScan\r\n",
    "many.vk6": b"BeginProg\r\n" + b"  Frobnicate\r\n" * 60 + b"EndProg\r\n",
    "empty.vk6": b"",
    "lf_only.vk6": b"Public X\nBeginProg\n  Scan(1, Sec)\n  X = 1 /\n  NextScan\nEndProg\n",
    "warning.vk6": b"Public T\r\nBeginProg\r\nScan(1, Sec)\r\nIf T > 1 Then\r\n"
                   b"PulseCount(T, 1, 0, 0, 1, 0)\r\nEndIf\r\nNextScan\r\nEndProg\r\n",
}
LONG = "/".join(["a_rather_long_folder_name_for_a_station_%02d" % i for i in range(7)])


def fixture(root):
    """The folder tree every case starts from."""
    shutil.rmtree(root, ignore_errors=True)
    files = {"prog.vk6": SOUND, "sub/prog.vk6": SOUND, "my folder/my prog.vk6": SOUND,
             "v1.2/prog": SOUND, LONG + "/prog.vk6": SOUND}
    for name in os.listdir(examples_dir):
        if name.endswith(".vk6"):
            with open(os.path.join(examples_dir, name), "rb") as f:
                files["ex/" + name] = f.read()
    for name, text in FAILING.items():
        files["bad/" + name] = text
    for name, text in files.items():
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(text)
    os.makedirs(os.path.join(root, "out"))


def snapshot(root):
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, root)] = f.read()
    return files


class Path:
    """A path argument: `rel` within the case's tree, given relative or
    absolute, spelt with / on Linux and \\ on Windows unless `linux` or
    `windows` spell it otherwise. `option` is an option letter it is
    attached to (-zname)."""
    def __init__(self, rel, absolute=False, linux=None, windows=None, option=""):
        dos = rel.replace("/", "\\")
        self.linux = linux or (os.path.join(linux_root, rel) if absolute else rel)
        self.windows = windows or (dos_root + "\\" + dos if absolute else dos)
        self.option = option


def spell(arg, side):
    return arg.option + getattr(arg, side) if isinstance(arg, Path) else arg


# cmd's words when Wine could not start a program at all; now and then
# seen on a loaded machine. Such a run is tried again.
WINE_START_FAILURE = b"Application could not be started"
wine_retries = 0


def run(side, cwd, program, args):
    global wine_retries
    if side == "linux":
        env = dict(os.environ, PATH=linux_bin + os.pathsep + os.environ["PATH"])
        command = [program] + args
    else:
        # Through cmd, as typed at a prompt: the program sees its name as typed.
        env = dict(os.environ, WINEPATH=windows_bin)
        command = [wine, "cmd", "/c", program] + args
    for attempt in range(3):
        p = subprocess.run(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        if side == "linux" or WINE_START_FAILURE not in p.stdout:
            break
        wine_retries += 1
    out = p.stdout
    if side == "windows":
        out = out.replace(b"\r\n", b"\n")  # the console stream's own CR
    return p.returncode, out


def check(name, program, args, cwd="", setup=None):
    """One command line on both platforms; returns a list of differences."""
    results = {}
    for side, root in (("linux", linux_root), ("windows", windows_root)):
        fixture(root)
        if setup:
            setup(root)
        code, out = run(side, os.path.join(root, cwd), program,
                        [spell(a, side) for a in args])
        results[side] = (code, out, snapshot(root))
    # The Linux text in the Windows spelling: the paths given, then their
    # folders (for names made from them, like the image's), longest first.
    pairs = []
    for a in args:
        if isinstance(a, Path):
            pairs.append((a.linux, a.windows))
            cut, wcut = a.linux.rfind("/"), max(a.windows.rfind("\\"), a.windows.rfind("/"))
            if cut >= 0 and wcut >= 0:
                pairs.append((a.linux[:cut + 1], a.windows[:wcut + 1]))
    pairs = sorted(((l.encode(), w.encode()) for l, w in pairs), key=lambda p: -len(p[0]))

    def windows_spelling(data):
        for linux, windows in pairs:
            data = data.replace(linux, windows)
        return data

    code, out, files = results["linux"]
    wcode, wout, wfiles = results["windows"]
    problems = []
    if code != wcode:
        problems.append("exit code %d on Linux, %d on Windows" % (code, wcode))
    if windows_spelling(out) != wout:
        problems.append("printed text differs:\n  Linux:   %r\n  Windows: %r"
                        % (windows_spelling(out), wout))
    for path in sorted(set(files) | set(wfiles)):
        if path not in wfiles:
            problems.append("%s written on Linux only" % path)
        elif path not in files:
            problems.append("%s written on Windows only" % path)
        else:
            # Texts may hold paths; images and definition files must match as they are.
            data = files[path]
            if path.endswith((".xxx", ".txt")):
                data = windows_spelling(data)
            if data != wfiles[path]:
                problems.append("%s differs:\n  Linux:   %r\n  Windows: %r"
                                % (path, data[:600], wfiles[path][:600]))
    return problems


def read_only_image(root):
    path = os.path.join(root, "sub", "prog.bin")
    with open(path, "wb") as f:
        f.write(b"old image")
    os.chmod(path, 0o444)


cases = []
for name in sorted(os.listdir(examples_dir)):
    if name.endswith(".vk6"):
        for model in ("617q", "610q"):
            cases.append(("example %s, %s" % (name, model), "vk6comp-" + model,
                          [Path("ex/" + name)], "", None))
            image = Path("ex/" + name[:-4] + ".bin")
            json = ["--json"] if name == "weather_station.vk6" else []
            cases.append(("image of %s, %s, vk6dump" % (name, model), "vk6dump",
                          json + [image], "", lambda root, n=name: compile_example(root, n)))
for name in sorted(FAILING):
    cases.append(("failing " + name, "vk6comp-617q", [Path("bad/" + name)], "", None))
P = Path
# (name, program, arguments, folder run in, set-up of the tree)
cases += [
    ("missing program", "vk6comp-617q", [P("bad/nosuch.vk6")], "", None),
    ("no arguments", "vk6comp-610q", [], "", None),
    ("banner, -d", "vk6comp-617q", ["-d"], "", None),
    ("banner, -v and an illegal option", "vk6comp-610q", ["-xv", P("sub/prog.vk6")], "", None),
    ("--help", "vk6comp-617q", ["--help"], "", None),
    ("--version", "vk6comp-610q", ["--version"], "", None),
    ("vk6dump --help", "vk6dump", ["--help"], "", None),
    ("subfolder, listing and definitions beside it", "vk6comp-617q",
     ["-l", "list.txt", "-zdefs.tdf", P("sub/prog.vk6")], "", None),
    ("absolute program and results", "vk6comp-617q",
     [P("sub/prog.vk6", True), P("out/res.txt", True)], "", None),
    ("forward slashes and a drive letter", "vk6comp-617q",
     [P("sub/prog.vk6", True, windows="C:/vk6/sub/prog.vk6")], "", None),
    ("drive letter with -l and -z", "vk6comp-617q",
     ["-l", P("out/list.txt", True), P("out/defs.tdf", True, option="-z"), P("prog.vk6")],
     "", None),
    # A Linux twin spelt relative to the program (linux=...): the case is
    # about where Windows puts a file named with a drive letter.
    ("drive letter with -l, program in a subfolder", "vk6comp-617q",
     [P("out/list.txt", True, linux="../out/list.txt", option="-l"), P("sub/prog.vk6")], "",
     None),
    ("listing into a missing folder", "vk6comp-617q",
     ["-l", P("nosuch/list.txt", True), P("prog.vk6")], "", None),
    ("results into a missing folder", "vk6comp-617q",
     [P("prog.vk6"), P("nosuch/res.txt", True)], "", None),
    ("parent folder", "vk6comp-617q", ["-l", "list.txt", P("../ex/first_scan.vk6")], "sub",
     None),
    ("blanks in names", "vk6comp-617q",
     ["-l", "my list.txt", P("my folder/my prog.vk6"), P("my folder/my results.txt")], "",
     None),
    ("blanks, absolute", "vk6comp-610q",
     ["-z", P("my folder/my defs.tdf", True, linux="my defs.tdf"),
      P("my folder/my prog.vk6", True)], "", None),
    ("long path", "vk6comp-617q", ["-l", "list.txt", P(LONG + "/prog.vk6")], "", None),
    ("long path, absolute", "vk6comp-617q",
     [P(LONG + "/prog.vk6", True), P(LONG + "/results.txt", True)], "", None),
    ("dotted folder, no extension", "vk6comp-617q", [P("v1.2/prog")], "", None),
    ("results file is the program", "vk6comp-617q", [P("sub/prog.vk6"), P("./sub/prog.vk6")],
     "", None),
    ("write-protected image", "vk6comp-617q", [P("sub/prog.vk6")], "", read_only_image),
    ("no image, -n", "vk6comp-617q", ["-n", P("sub/prog.vk6")], "", None),
]


def compile_example(root, name):
    """Compiles an example with the Linux compiler, for the inspector cases."""
    subprocess.run([os.path.join(linux_bin, "vk6comp-617q"), "ex/" + name], cwd=root,
                   stdout=subprocess.DEVNULL, check=False)
    os.remove(os.path.join(root, "vk6cmple.xxx"))


failed = 0
for name, program, args, cwd, setup in cases:
    problems = check(name, program, args, cwd, setup)
    if problems:
        failed += 1
        print("FAIL %s: %s %s" % (name, program, " ".join(spell(a, "windows") for a in args)))
        for p in problems:
            print("  " + p)
if wine_retries:
    print("Wine failed to start a program %d times; those runs were repeated" % wine_retries)
print("Windows against Linux: %d passed, %d failed" % (len(cases) - failed, failed))
sys.exit(1 if failed else 0)
