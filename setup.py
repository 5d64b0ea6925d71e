"""Builds the Python package's extension, protolib._protolib, with this tree's CMake project: the
library and the extension only (PROTOLIB_BUILD_PYTHON on, nothing else), for the Python that runs
the build, then puts it where setuptools packs it. The version is the project's own."""

import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(protolib VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    """Configures and builds the target _protolib in build_temp and copies the module out."""

    def build_extension(self, ext):
        build = Path(self.build_temp).resolve() / "cmake"
        configure = ["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                     "-DPROTOLIB_DEVELOPER_MODE=OFF", "-DPROTOLIB_BUILD_PYTHON=ON",
                     f"-DPython3_EXECUTABLE={sys.executable}"]
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 1))
        subprocess.run(["cmake", "--build", str(build), "--target", "_protolib", "-j", jobs],
                       check=True)
        built = next((build / "python" / "protolib").glob("_protolib*.so"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        self.copy_file(str(built), str(target))


setup(
    version=project_version(),
    ext_modules=[Extension("protolib._protolib", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": "build/python-setup"}},
)
