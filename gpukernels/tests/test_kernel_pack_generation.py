import contextlib
import io
import os
import re
import struct
import tempfile
import unittest

import generate_kernel_pack
from kernel_container import ContainerError, build_container, padded_name
from kernel_table import KernelType
from program_images import ImageDirectory, ImageDirectoryError, placeholder_image


def walk(container: bytes):
    """Reads a container back; returns (count, payload length, [(name, [(index, image)])])."""
    magic, count, payload_length = struct.unpack_from("<8sII", container, 0)
    assert magic == b"FULLPRGM", magic
    offset, kernels = 16, []
    for _ in range(count):
        (name_length,) = struct.unpack_from("<I", container, offset)
        field = container[offset + 4:offset + 4 + name_length]
        offset += 4 + name_length
        (image_count,) = struct.unpack_from("<I", container, offset)
        offset += 4
        images = []
        for _ in range(image_count):
            index, length = struct.unpack_from("<II", container, offset)
            images.append((index, container[offset + 8:offset + 8 + length]))
            offset += 8 + length
        kernels.append((field, images))
    assert offset == len(container), (offset, len(container))
    return count, payload_length, kernels


def read_text(path):
    with open(path) as text_file:
        return text_file.read()


def fixed_images(type_number, name, index):
    return b"PRGM" + f"{type_number}/{name}/{index}".encode() + b"x" * index


class ContainerTest(unittest.TestCase):
    def test_name_field_is_terminated_and_padded_to_four(self):
        self.assertEqual(padded_name("abc"), b"abc\0")
        self.assertEqual(padded_name("abcd"), b"abcd\0\0\0\0")
        self.assertEqual(padded_name("abcde"), b"abcde\0\0\0")

    def test_container_layout(self):
        container = build_container(KernelType(7, ("abcd", "e")), fixed_images)
        count, payload_length, kernels = walk(container)
        self.assertEqual(count, 2)
        self.assertEqual(payload_length, len(container) - 16)
        self.assertEqual([field for field, _ in kernels], [b"abcd\0\0\0\0", b"e\0\0\0"])
        self.assertEqual(kernels[1][1], [(0, b"PRGM7/e/0"), (1, b"PRGM7/e/1x")])

    def test_image_without_magic_is_rejected_with_its_kernel(self):
        def bad_second_image(type_number, name, index):
            return b"ELF!" if index == 1 else fixed_images(type_number, name, index)

        with self.assertRaisesRegex(ContainerError, "type 3, kernel k: image 1"):
            build_container(KernelType(3, ("k",)), bad_second_image)

    def test_kernel_count_limits(self):
        for count in (0, 129):
            names = tuple(f"k{i}" for i in range(count))
            with self.subTest(count=count), self.assertRaises(ContainerError):
                build_container(KernelType(0, names), fixed_images)


class ImageSourceTest(unittest.TestCase):
    def test_placeholders_are_in_the_image_format(self):
        first = placeholder_image(59, "multiply_U8TimesU8toU8_Sat_RTE", 0)
        second = placeholder_image(59, "multiply_U8TimesU8toU8_Sat_RTE", 1)
        self.assertTrue(first.startswith(b"PRGM"))
        self.assertEqual(struct.unpack_from("<I", second, 4), (1,))
        self.assertEqual(len(first), len(second))
        self.assertEqual(len(first) % 4, 0)

    def test_image_directory_reads_per_type_files(self):
        with tempfile.TemporaryDirectory() as directory:
            os.makedirs(os.path.join(directory, "15"))
            with open(os.path.join(directory, "15", "copy.1.bin"), "wb") as image:
                image.write(b"PRGMreal")
            images = ImageDirectory(directory)
            self.assertEqual(images(15, "copy", 1), b"PRGMreal")
            self.assertEqual(images.files_read, [os.path.join(directory, "15", "copy.1.bin")])
            missing = re.escape(os.path.join("20", "copy.1.bin"))
            with self.assertRaisesRegex(ImageDirectoryError, missing):
                images(20, "copy", 1)


class GenerateTest(unittest.TestCase):
    TABLE = "0 1 first\n1 2 second_{a,b}\n"

    def setUp(self):
        self._temp = tempfile.TemporaryDirectory()
        self.root = self._temp.name
        self.table = os.path.join(self.root, "table.txt")
        with open(self.table, "w") as table:
            table.write(self.TABLE)
        self.output = os.path.join(self.root, "out")

    def tearDown(self):
        self._temp.cleanup()

    def read(self, name, mode="r"):
        with open(os.path.join(self.output, name), mode) as output:
            return output.read()

    def layout_entries(self):
        return [tuple(map(int, m)) for m in
                re.findall(r"\{(\d+)u, (\d+)u\}", self.read("kernel_pack_layout.inc"))]

    def write_images(self, image_dir, lengths):
        for (type_number, name), length in lengths.items():
            os.makedirs(os.path.join(image_dir, str(type_number)), exist_ok=True)
            for index in (0, 1):
                with open(os.path.join(image_dir, str(type_number), f"{name}.{index}.bin"),
                          "wb") as image:
                    image.write(b"PRGM" + bytes([index]) * (length + index))

    def test_outputs_describe_the_same_data(self):
        depfile = os.path.join(self.root, "pack.d")
        generate_kernel_pack.generate(self.table, self.output, depfile=depfile)
        blob = self.read("kernel_pack.bin", "rb")
        entries = self.layout_entries()
        self.assertEqual(len(entries), 2)
        for offset, length in entries:
            count, _, _ = walk(blob[offset:offset + length])
            self.assertGreater(count, 0)
        self.assertEqual(entries[1][0], 0)
        self.assertEqual(entries[0][0] + entries[0][1], len(blob))
        self.assertEqual(self.read("kernel_names.txt"), "0 first\n1 second_a\n1 second_b\n")
        blob_path = os.path.abspath(os.path.join(self.output, "kernel_pack.bin"))
        self.assertIn(f'.incbin "{blob_path}"', self.read("kernel_pack_data.S"))
        self.assertIn(os.path.abspath(self.table), read_text(depfile))

    def test_image_directory_supplies_the_images_and_the_dependencies(self):
        image_dir = os.path.join(self.root, "images")
        self.write_images(image_dir, {(0, "first"): 100, (1, "second_a"): 7, (1, "second_b"): 9})
        depfile = os.path.join(self.root, "pack.d")
        generate_kernel_pack.generate(self.table, self.output, image_dir, depfile)
        blob = self.read("kernel_pack.bin", "rb")
        offset, length = self.layout_entries()[0]
        _, _, kernels = walk(blob[offset:offset + length])
        self.assertEqual(kernels[0][1], [(0, b"PRGM" + b"\0" * 100), (1, b"PRGM" + b"\1" * 101)])
        dependencies = read_text(depfile)
        self.assertIn(os.path.join(image_dir, "1", "second_b.1.bin"), dependencies)
        self.assertTrue(dependencies.startswith(
            os.path.abspath(os.path.join(self.output, "kernel_pack_data.S")) + ":"))

    def test_missing_image_fails_the_build_step(self):
        image_dir = os.path.join(self.root, "images")
        self.write_images(image_dir, {(0, "first"): 4, (1, "second_a"): 4})
        errors = io.StringIO()
        with contextlib.redirect_stderr(errors):
            status = generate_kernel_pack.main(["--table", self.table, "--output-dir",
                                                self.output, "--image-dir", image_dir])
        self.assertEqual(status, 1)
        self.assertIn("second_b.0.bin", errors.getvalue())
        self.assertFalse(os.path.exists(os.path.join(self.output, "kernel_pack_data.S")))

    def test_depfile_escapes_spaces(self):
        self.assertEqual(generate_kernel_pack.depfile_text("out.S", ["a b/c.bin"]),
                         "out.S: \\\n  a\\ b/c.bin\n")


if __name__ == "__main__":
    unittest.main()
