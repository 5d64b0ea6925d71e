"""Captures and program runs the tests share. The built programs are found through
PROTOLIB_BIN_DIR, the build folder, which CTest sets."""

import json
import os
import subprocess
from pathlib import Path

import pytest


def program(name: str) -> str:
    return str(Path(os.environ["PROTOLIB_BIN_DIR"]) / name / name)


def run(name: str, *args: str) -> str:
    return subprocess.run([program(name), *args], check=True, capture_output=True, text=True).stdout


def capdump_lines(*args: str) -> list:
    return [json.loads(line) for line in run("capdump", *args).splitlines()]


# The clock capgen's instrument carries: type 10's lead counts milliseconds.
CLOCK = "10.lead:ms"

# Damaged captures: the default recording, and one of the types it holds few of.
CAPTURES = {
    "recording": ["--size", "1M"],
    "rare-types": ["--size", "256k", "--types", "3,9,21,22,23,25,26,27"],
}


@pytest.fixture(scope="session", params=sorted(CAPTURES))
def damaged(request, tmp_path_factory) -> Path:
    path = tmp_path_factory.mktemp("captures") / f"{request.param}.cap"
    run("capgen", *CAPTURES[request.param], "--seed", "7", "--damage", "all",
        "--damage-rate", "0.05", str(path))
    return path
