"""Sources of the program images: generated placeholders or a directory of real images."""

import os
import struct
from typing import List

from kernel_container import IMAGE_MAGIC, padded_name


def placeholder_image(type_number: int, name: str, index: int) -> bytes:
    """A stand-in image in the image format, for builds without the compiled kernels.

    "PRGM", the image index (u32 little-endian), then "placeholder:" and the kernel name,
    NUL-padded to a multiple of 4. Both images of a kernel have the same length.
    """
    del type_number  # every type's placeholders look alike
    return IMAGE_MAGIC + struct.pack("<I", index) + padded_name("placeholder:" + name)


class ImageDirectoryError(Exception):
    """The image directory lacks an image."""


class ImageDirectory:
    """Compiled images laid out as <directory>/<type>/<kernel name>.<image index>.bin.

    The type level keeps apart the kernels that share a name in different types ("copy").
    """

    def __init__(self, directory: str):
        self._directory = directory
        self._read: List[str] = []

    def path_of(self, type_number: int, name: str, index: int) -> str:
        return os.path.join(self._directory, str(type_number), f"{name}.{index}.bin")

    def __call__(self, type_number: int, name: str, index: int) -> bytes:
        path = self.path_of(type_number, name, index)
        try:
            with open(path, "rb") as image_file:
                image = image_file.read()
        except OSError as error:
            raise ImageDirectoryError(f"cannot read {path}: {error.strerror}") from None
        self._read.append(path)
        return image

    @property
    def files_read(self) -> List[str]:
        return list(self._read)
