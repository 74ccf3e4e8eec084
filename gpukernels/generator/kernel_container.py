"""Serialises kernel containers and lays them out as one block of library data.

Container: "FULLPRGM", kernel count, payload length, then per kernel the name length, the
name (NUL-terminated, NUL-padded to a multiple of 4), the image count and the images, each
as image index, image length and image bytes. All integers are unsigned 32-bit
little-endian.
"""

import struct
from dataclasses import dataclass
from typing import Callable, List, Sequence

from kernel_table import KernelType

CONTAINER_MAGIC = b"FULLPRGM"
IMAGE_MAGIC = b"PRGM"
IMAGES_PER_KERNEL = 2
MAX_KERNELS_PER_CONTAINER = 128
# The library hands out container lengths as signed 32-bit integers.
MAX_CONTAINER_LENGTH = 2**31 - 1

# Returns the image bytes of (type number, kernel name, image index).
ImageSource = Callable[[int, str, int], bytes]


class ContainerError(Exception):
    """A container cannot be built from the given kernels and images."""


def _u32(value: int) -> bytes:
    return struct.pack("<I", value)


def padded_name(name: str) -> bytes:
    """The name field: the ASCII name, NUL-terminated and NUL-padded to a multiple of 4."""
    raw = name.encode("ascii") + b"\0"
    return raw + b"\0" * (-len(raw) % 4)


def _image_record(index: int, image: bytes) -> bytes:
    if not image.startswith(IMAGE_MAGIC):
        raise ContainerError(f"image {index} does not begin with {IMAGE_MAGIC!r}")
    return _u32(index) + _u32(len(image)) + image


def _kernel_entry(kernel_type: KernelType, name: str, images: ImageSource) -> bytes:
    field = padded_name(name)
    parts = [_u32(len(field)), field, _u32(IMAGES_PER_KERNEL)]
    for index in range(IMAGES_PER_KERNEL):
        try:
            parts.append(_image_record(index, images(kernel_type.number, name, index)))
        except ContainerError as error:
            raise ContainerError(f"type {kernel_type.number}, kernel {name}: {error}") from None
    return b"".join(parts)


def build_container(kernel_type: KernelType, images: ImageSource) -> bytes:
    count = len(kernel_type.kernels)
    if not 1 <= count <= MAX_KERNELS_PER_CONTAINER:
        raise ContainerError(f"type {kernel_type.number} holds {count} kernels")
    payload = b"".join(_kernel_entry(kernel_type, name, images) for name in kernel_type.kernels)
    container = CONTAINER_MAGIC + _u32(count) + _u32(len(payload)) + payload
    if len(container) > MAX_CONTAINER_LENGTH:
        raise ContainerError(f"type {kernel_type.number} is {len(container)} bytes long")
    return container


@dataclass(frozen=True)
class Placement:
    offset: int
    length: int


@dataclass(frozen=True)
class PackLayout:
    data: bytes
    placements: List[Placement]  # indexed by type number


def lay_out(types: Sequence[KernelType], images: ImageSource) -> PackLayout:
    """Lays the containers end to end, the highest type first and type 0 last."""
    containers = [build_container(kernel_type, images) for kernel_type in types]
    placements = [Placement(0, 0)] * len(containers)
    offset = 0
    for number in reversed(range(len(containers))):
        placements[number] = Placement(offset, len(containers[number]))
        offset += len(containers[number])
    return PackLayout(b"".join(reversed(containers)), placements)
