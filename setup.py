"""Builds the extension curling._curling with the project's own CMake, for pip (see pyproject.toml).

Only the module's target is built, Release, for the interpreter that runs pip, in build/pip/ of the
source tree, where setuptools also keeps its own files.
"""
import os
import pathlib
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent
WORK = pathlib.Path("build") / "pip"


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = ROOT / WORK / ("cmake-" + sys.implementation.cache_tag)
        configure = ["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                     "-DBUILD_TESTING=OFF", "-DPython_EXECUTABLE=" + sys.executable]
        if shutil.which("ninja") and not (build / "CMakeCache.txt").exists():
            configure += ["-G", "Ninja"]
        try:  # pip's own pybind11 when it installed one for the build; else the system's (pybind11-dev)
            import pybind11
            configure.append("-Dpybind11_DIR=" + pybind11.get_cmake_dir())
        except ImportError:
            pass
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "curling_python"], check=True)
        built = next((build / "python" / "curling").glob("_curling*" + os.path.splitext(
            self.get_ext_filename("x"))[1]))
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


(ROOT / WORK).mkdir(parents=True, exist_ok=True)
setup(ext_modules=[Extension("curling._curling", sources=[])], cmdclass={"build_ext": CMakeBuild},
      options={"build": {"build_base": str(WORK)}, "egg_info": {"egg_base": str(WORK)}})
