import os
import unittest

from kernel_table import TableError, expand_names, parse_table, read_table

TABLE_PATH = os.environ.get(
    "GPUKERNELS_TABLE", os.path.join(os.path.dirname(__file__), "..", "kernel_table.txt"))


class ExpandNamesTest(unittest.TestCase):
    def test_plain_name_stands_alone(self):
        self.assertEqual(expand_names("LKTracker"), ["LKTracker"])

    def test_leftmost_group_is_outermost(self):
        self.assertEqual(expand_names("x{1,2}y{a,b}"), ["x1ya", "x1yb", "x2ya", "x2yb"])

    def test_malformed_names_are_rejected(self):
        for pattern in ("a{b,}c", "a{b", "a}b", "a-b", "a{b,c-d}"):
            with self.subTest(pattern=pattern), self.assertRaises(TableError):
                expand_names(pattern)


class ParseTableTest(unittest.TestCase):
    def test_continuation_lines_and_comments(self):
        types = parse_table("# head\n0 1 a\n1 3 b{1,2}  # tail\n    c\n\n2 1 a\n")
        self.assertEqual([t.number for t in types], [0, 1, 2])
        self.assertEqual(types[1].kernels, ("b1", "b2", "c"))
        self.assertEqual(types[2].kernels, ("a",))

    def test_wrong_count_names_the_line(self):
        with self.assertRaisesRegex(TableError, "line 2: type 1 declares 3 kernels but lists 2"):
            parse_table("0 1 a\n1 3 b{1,2}\n")

    def test_invalid_tables_are_rejected(self):
        cases = {
            "gap in type numbers": "0 1 a\n2 1 b\n",
            "type not starting at 0": "1 1 a\n",
            "continuation first": "  a\n0 1 b\n",
            "kernel repeated in a type": "0 2 a a\n",
            "missing names": "0 1\n",
            "count not a number": "0 x a\n",
            "empty table": "# nothing\n",
        }
        for case, text in cases.items():
            with self.subTest(case=case), self.assertRaises(TableError):
                parse_table(text)


class KernelTableFileTest(unittest.TestCase):
    """The table in the source tree: the interface the vision runtime relies on."""

    @classmethod
    def setUpClass(cls):
        cls.types = read_table(TABLE_PATH)
        cls.kernels = {t.number: list(t.kernels) for t in cls.types}

    def test_92_types_with_433_kernels(self):
        self.assertEqual(sorted(self.kernels), list(range(92)))
        self.assertEqual(sum(len(k) for k in self.kernels.values()), 433)
        self.assertTrue(all(1 <= len(k) <= 128 for k in self.kernels.values()))

    def test_family_sizes(self):
        sizes = {5: 10, 10: 8, 11: 23, 12: 28, 13: 23, 58: 12, 59: 128, 80: 10, 82: 18, 84: 8}
        self.assertEqual({n: len(self.kernels[n]) for n in sizes}, sizes)

    def test_single_kernel_types(self):
        self.assertEqual(self.kernels[0], ["LKTracker"])
        self.assertEqual(self.kernels[91], ["xor_U8_U8toU8"])
        copy_types = [n for n, k in self.kernels.items() if k == ["copy"]]
        self.assertEqual(copy_types, [15, 20, 51, 73, 74, 81])

    def test_names_are_unique_apart_from_the_copy_steps(self):
        names = [n for k in self.kernels.values() for n in k if n != "copy"]
        self.assertEqual(len(names), len(set(names)))

    def test_multiply_nesting_order(self):
        multiply = self.kernels[59]
        expected = {
            0: "multiply_U8TimesU8toU8_Sat_RTE",
            1: "multiply_U8TimesU8toU8_Sat_RTZ",
            2: "multiply_U8TimesU8toU8_Wrap_RTE",
            4: "multiply_U8TimesU8toI16_Sat_RTE",
            8: "multiply_U8TimesI16toU8_Sat_RTE",
            16: "multiply_I16TimesU8toU8_Sat_RTE",
            31: "multiply_I16TimesI16toI16_Wrap_RTZ",
            32: "multiply_U8TimesU8toU8_Sat_RTE_postshift",
            64: "multiply_U8TimesU8toU8_Sat_RTE_integer",
            96: "multiply_U8TimesU8toU8_Sat_RTE_integer_postshift",
            127: "multiply_I16TimesI16toI16_Wrap_RTZ_integer_postshift",
        }
        self.assertEqual({i: multiply[i] for i in expected}, expected)

    def test_combination_families_keep_their_order(self):
        add_combinations = ["U8_U8toU8", "U8_U8toI16", "U8_I16toI16", "I16_U8toI16", "I16_I16toI16"]
        for number, prefix in ((5, "add"), (80, "subtract")):
            expected = [f"{prefix}_{c}_{m}" for c in add_combinations for m in ("Sat", "Warp")]
            self.assertEqual(self.kernels[number], expected)
        tensor = self.kernels[82]
        self.assertEqual(tensor[:3], ["tensor_convert_depth_U8toU8_Sat_func",
                                      "tensor_convert_depth_U8toU8_Warp_func",
                                      "tensor_convert_depth_U8toS8_Sat_func"])
        self.assertEqual(tensor[6], "tensor_convert_depth_S8toU8_Sat_func")
        self.assertEqual(self.kernels[58][5:7], ["getlocation_maxCnt_u8",
                                                 "getlocation_minmaxArray_i16"])
        self.assertEqual(self.kernels[84][4:6], ["threshold_U8toU1_Binary",
                                                 "threshold_U8toU1_Range"])

    def test_color_conversions_in_order(self):
        conversions = {
            "rgb": ["rgbx", "yuv4", "nv12", "iyuv"], "rgbx": ["rgb", "yuv4", "nv12", "iyuv"],
            "yuyv": ["rgb", "rgbx", "nv12", "iyuv"], "uyvy": ["rgb", "rgbx", "nv12", "iyuv"],
            "iyuv": ["nv12", "yuv4", "rgb", "rgbx"], "nv12": ["rgb", "rgbx", "yuv4", "iyuv"],
            "nv21": ["rgb", "rgbx", "yuv4", "iyuv"],
        }
        expected = [f"color_convert_{a}_{b}" for a, targets in conversions.items() for b in targets]
        self.assertEqual(self.kernels[12], expected)

    def test_channel_extract_and_convertdepth_order(self):
        self.assertEqual(self.kernels[11][13:15], ["channel_extract_yuv_y",
                                                   "channel_extract_nv12_u"])
        self.assertEqual(self.kernels[11][-1], "channel_extract_yuv_uv")
        self.assertEqual(self.kernels[13][4:6], ["convertdepth_S16toS32",
                                                 "convertdepth_S16toU8_warp"])
        self.assertEqual(self.kernels[13][14:16], ["convertdepth_S32toS16_sat",
                                                   "convertdepth_U1toU8"])


if __name__ == "__main__":
    unittest.main()
