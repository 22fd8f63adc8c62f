"""Checks a GitHub Actions workflow as far as a machine without a runner can.

    check_workflow.py REPOSITORY WORKFLOW [--no-run]

1. The file parses as YAML (duplicate keys refused, as the runner refuses them).
2. Its structure is one a runner accepts: an `on` trigger and jobs; every job with `runs-on` and
   steps; every step with exactly one of `run` or `uses`, `with` only beside `uses`, keys a
   runner knows, and a shell a runner knows (`msys2 {0}` only after msys2/setup-msys2).
3. shellcheck passes on every bash, sh and MSYS2 `run` block, written out as the runner writes
   it (its expressions replaced by a word) and run as the runner runs it (bash -e -o pipefail).
4. What the steps call is in the tree: every `tools/...` script (executable), every
   `-DSHEETLORE_...` cache variable in a CMakeLists.txt, every `NAME.cmd` in packaging/ and
   every `/switch` given to verify.cmd in verify.cmd's own argument handling.
5. Unless --no-run: the packaging step runs in a copy of the tree with stand-in binaries (and a
   stand-in cygpath), and the folder it hands on in PACKAGE_DIR holds the files the later steps
   call.

Prints one line per problem and exits 1 when there is any.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

import yaml

# The shells a runner knows by name; any other value is a command template holding {0}.
KNOWN_SHELLS = {"bash", "sh", "pwsh", "powershell", "cmd", "python"}
POSIX_SHELLS = {"bash", "sh"}
STEP_KEYS = {"id", "name", "if", "uses", "run", "with", "env", "shell", "working-directory",
             "continue-on-error", "timeout-minutes"}
JOB_KEYS = {"name", "needs", "permissions", "runs-on", "environment", "concurrency", "outputs",
            "env", "defaults", "if", "steps", "timeout-minutes", "strategy", "continue-on-error",
            "container", "services", "uses", "with", "secrets"}
EXPRESSION = re.compile(r"\$\{\{.*?\}\}")

problems = []


def problem(text):
    problems.append(text)


class UniqueKeyLoader(yaml.SafeLoader):
    """The safe loader, refusing a key given twice in one mapping."""


def _unique_mapping(loader, node, deep=False):
    seen = set()
    for key_node, _ in node.value:
        key = loader.construct_object(key_node, deep=deep)
        if key in seen:
            raise yaml.constructor.ConstructorError(
                None, None, f"the key {key!r} is given twice", key_node.start_mark)
        seen.add(key)
    return loader.construct_mapping(node, deep)


UniqueKeyLoader.add_constructor(yaml.resolver.BaseResolver.DEFAULT_MAPPING_TAG, _unique_mapping)


def load(path):
    with open(path, encoding="utf-8") as stream:
        return yaml.load(stream, Loader=UniqueKeyLoader)


def triggers(workflow):
    # YAML 1.1 reads a bare `on` key as the boolean true; the runner reads it as "on".
    if "on" in workflow:
        return workflow["on"]
    return workflow.get(True)


def default_shell(*levels):
    for level in levels:
        shell = ((level or {}).get("defaults") or {}).get("run", {}).get("shell")
        if shell:
            return shell
    return None


def shell_command(shell):
    return shell.split()[0]


def check_shell(where, shell, msys2_ready):
    if not isinstance(shell, str) or not shell.strip():
        problem(f"{where}: shell {shell!r} is not a shell")
        return
    if shell in KNOWN_SHELLS:
        return
    if "{0}" not in shell:
        problem(f"{where}: shell {shell!r} is neither a known shell nor a template with {{0}}")
    elif shell_command(shell) == "msys2" and not msys2_ready:
        problem(f"{where}: shell {shell!r} before a msys2/setup-msys2 step")


def check_structure(workflow):
    """The runs of each job: (job, step name, shell, text) for every `run` step."""
    runs = []
    if not isinstance(workflow, dict):
        problem("the workflow is not a mapping")
        return runs
    on = triggers(workflow)
    if not on:
        problem("no `on` trigger")
    jobs = workflow.get("jobs")
    if not isinstance(jobs, dict) or not jobs:
        problem("no jobs")
        return runs
    for job_id, job in jobs.items():
        if not isinstance(job, dict):
            problem(f"job {job_id}: not a mapping")
            continue
        for key in job:
            if key not in JOB_KEYS:
                problem(f"job {job_id}: unknown key {key!r}")
        runs_on = job.get("runs-on")
        if not runs_on:
            problem(f"job {job_id}: no runs-on")
        steps = job.get("steps")
        if not isinstance(steps, list) or not steps:
            problem(f"job {job_id}: no steps")
            continue
        windows = "windows" in str(runs_on)
        job_shell = default_shell(job, workflow)
        # A default shell is checked at each step that runs in it: msys2 needs its setup first.
        msys2_ready = False
        for number, step in enumerate(steps, 1):
            where = f"job {job_id}, step {number}"
            if not isinstance(step, dict):
                problem(f"{where}: not a mapping")
                continue
            if "name" in step:
                where += f" ({step['name']})"
            for key in step:
                if key not in STEP_KEYS:
                    problem(f"{where}: unknown key {key!r}")
            has_run, has_uses = "run" in step, "uses" in step
            if has_run == has_uses:
                problem(f"{where}: needs exactly one of run or uses")
            if "with" in step and not has_uses:
                problem(f"{where}: with without uses")
            if has_uses:
                uses = str(step["uses"])
                if not re.fullmatch(r"[\w.-]+/[\w./-]+@[\w.-]+|\./[\w./-]+|docker://\S+", uses):
                    problem(f"{where}: uses {uses!r} names no action")
                if uses.startswith("msys2/setup-msys2@"):
                    msys2_ready = True
                if "shell" in step:
                    problem(f"{where}: shell beside uses")
            if has_run and not has_uses:
                if not isinstance(step["run"], str) or not step["run"].strip():
                    problem(f"{where}: run is empty")
                    continue
                shell = step.get("shell") or job_shell or ("pwsh" if windows else "bash")
                check_shell(where, shell, msys2_ready)
                runs.append((job_id, where, shell, step["run"]))
    return runs


def posix_runs(runs):
    return [(where, text) for _, where, shell, text in runs
            if shell in POSIX_SHELLS or shell_command(shell) == "msys2"]


def check_shellcheck(runs):
    with tempfile.TemporaryDirectory() as folder:
        for index, (where, text) in enumerate(posix_runs(runs)):
            # The runner writes the block to a file, expressions already replaced, and starts it
            # with bash -e -o pipefail; the first line says so to shellcheck.
            script = os.path.join(folder, f"step{index}.sh")
            with open(script, "w", encoding="utf-8") as out:
                out.write("#!/bin/bash\n" + EXPRESSION.sub("expression", text))
            result = subprocess.run(["shellcheck", "--format=gcc", script],
                                    capture_output=True, text=True)
            if result.returncode != 0:
                for line in (result.stdout + result.stderr).splitlines():
                    match = re.match(r".*?:(\d+):(\d+): (.*)", line)
                    if match:
                        line = f"line {int(match[1]) - 1}: {match[3]}"
                    problem(f"{where}: shellcheck: {line}")


def check_references(repository, runs):
    cmake_text = ""
    for folder, _, names in os.walk(repository):
        if os.path.relpath(folder, repository).split(os.sep)[0] in {"out", ".git"}:
            continue
        for name in names:
            if name == "CMakeLists.txt":
                with open(os.path.join(folder, name), encoding="utf-8") as stream:
                    cmake_text += stream.read()
    verify_cmd = os.path.join(repository, "packaging", "verify.cmd")
    verify_text = open(verify_cmd, encoding="utf-8").read() if os.path.exists(verify_cmd) else ""
    for _, where, _, text in runs:
        for tool in sorted(set(re.findall(r"(?<![\w/.-])tools/[\w.-]+", text))):
            path = os.path.join(repository, tool)
            if not (os.path.isfile(path) and os.access(path, os.X_OK)):
                problem(f"{where}: {tool} is not an executable script in the tree")
        for variable in sorted(set(re.findall(r"-D(SHEETLORE_\w+)=", text))):
            if not re.search(rf"\b{variable}\b", cmake_text):
                problem(f"{where}: no CMakeLists.txt reads {variable}")
        for script in sorted(set(re.findall(r"[\w-]+\.cmd\b", text))):
            if not os.path.isfile(os.path.join(repository, "packaging", script)):
                problem(f"{where}: packaging/{script} is not in the tree")
        for line in text.splitlines():
            if "verify.cmd" not in line:
                continue
            for switch in re.findall(r"(?<![\w:])/[a-z]+\b", line.split("verify.cmd", 1)[1]):
                if not re.search(rf'(?i)"{re.escape(switch)}"', verify_text):
                    problem(f"{where}: verify.cmd does not take {switch}")


def run_package_step(repository, runs):
    """Runs the step that calls tools/package as the runner would, in a copy of the tree."""
    steps = [(where, text) for where, text in posix_runs(runs) if "tools/package" in text]
    if len(steps) != 1:
        problem(f"{len(steps)} bash steps call tools/package, not one")
        return
    where, text = steps[0]
    with tempfile.TemporaryDirectory() as folder:
        tree = os.path.join(folder, "tree")
        shutil.copytree(repository, tree, symlinks=True,
                        ignore=lambda directory, names: [n for n in names if n in {"out", ".git"}]
                        if os.path.samefile(directory, repository) else [])
        for arch in ("x64", "x86"):
            os.makedirs(os.path.join(tree, "out", arch))
            for name in ("Sheetlore.dll", "sheetlore.exe", "Sheetlore.dll.debug",
                         "sheetlore.exe.debug"):
                with open(os.path.join(tree, "out", arch, name), "w") as stand_in:
                    stand_in.write(f"{arch} {name}\n")
        bin_folder = os.path.join(folder, "bin")
        os.makedirs(bin_folder)
        cygpath = os.path.join(bin_folder, "cygpath")
        with open(cygpath, "w") as stand_in:
            stand_in.write('#!/bin/sh\n# cygpath -w|-m PATH: the path as it is\necho "$2"\n')
        os.chmod(cygpath, 0o755)
        github_env = os.path.join(folder, "github_env")
        open(github_env, "w").close()
        environment = dict(os.environ, PATH=bin_folder + os.pathsep + os.environ["PATH"],
                           GITHUB_ENV=github_env, RUNNER_TEMP=folder)
        result = subprocess.run(["bash", "--noprofile", "--norc", "-eo", "pipefail", "-c",
                                 EXPRESSION.sub("expression", text)],
                                cwd=tree, env=environment, capture_output=True, text=True)
        if result.returncode != 0:
            problem(f"{where}: exits {result.returncode}: {(result.stdout + result.stderr).strip()}")
            return
        handed_on = dict(line.split("=", 1) for line in open(github_env).read().splitlines()
                         if "=" in line)
        package = handed_on.get("PACKAGE_DIR")
        if not package or not os.path.isdir(package):
            problem(f"{where}: hands on no package folder in PACKAGE_DIR ({package!r})")
            return
        needed = {"x64/Sheetlore.dll", "x86/Sheetlore.dll", "verify.vbs"}
        for _, later, shell, later_text in runs:
            if shell in {"cmd", "pwsh", "powershell"}:
                needed.update(re.findall(r"[\w-]+\.cmd\b", later_text))
        for name in sorted(needed):
            if not os.path.isfile(os.path.join(package, name)):
                problem(f"{where}: the package folder has no {name}")


def main(arguments):
    if len(arguments) < 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    repository, path = arguments[0], arguments[1]
    try:
        workflow = load(path)
    except yaml.YAMLError as error:
        print(f"{path}: does not parse: {error}")
        return 1
    runs = check_structure(workflow)
    check_shellcheck(runs)
    check_references(repository, runs)
    if "--no-run" not in arguments and not problems:
        run_package_step(repository, runs)
    for text in problems:
        print(f"{path}: {text}")
    if not problems:
        print(f"{path}: {len(runs)} run steps checked, "
              f"{len(posix_runs(runs))} of them with shellcheck")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
