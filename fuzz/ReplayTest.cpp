// Every committed fuzz input, seeds and past findings alike, run through its
// harness in the ordinary test build (no clang, no libFuzzer needed).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz/AllocationWatch.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzTargets.h"

namespace tonarel::fuzz {

class BrokenInvariantError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

void BrokenInvariant(const char* condition, const char* file, int line)
{
    throw BrokenInvariantError(std::string(condition) + " (" + file + ":" + std::to_string(line) + ")");
}

namespace {

struct InputFolder {
    const Harness* harness;
    const char* kind;  ///< "corpus" (seeds) or "regressions" (inputs that once failed)

    std::filesystem::path Path() const { return std::filesystem::path(TONAREL_FUZZ_INPUTS) / kind / harness->name; }
    friend void PrintTo(const InputFolder& folder, std::ostream* out)
    {
        *out << folder.kind << '/' << folder.harness->name;
    }
};

// Every harness has seeds; regressions only once something has failed.
std::vector<InputFolder> AllFolders()
{
    std::vector<InputFolder> folders;
    for (const Harness& harness : kHarnesses) {
        folders.push_back({&harness, "corpus"});
        if (const InputFolder regressions{&harness, "regressions"}; std::filesystem::exists(regressions.Path())) {
            folders.push_back(regressions);
        }
    }
    return folders;
}

std::vector<uint8_t> Bytes(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

class FuzzInputs : public ::testing::TestWithParam<InputFolder> {};

TEST_P(FuzzInputs, KeepEveryInvariant)
{
    const std::filesystem::path folder = GetParam().Path();
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << folder;
    for (const std::filesystem::path& file : files) {
        const std::vector<uint8_t> bytes = Bytes(file);
        try {
            GetParam().harness->run(bytes.data(), bytes.size());
        } catch (const BrokenInvariantError& broken) {
            ADD_FAILURE() << file.filename().string() << ": " << broken.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Committed, FuzzInputs, ::testing::ValuesIn(AllFolders()),
                         [](const ::testing::TestParamInfo<InputFolder>& info) {
                             return std::string(info.param.harness->name) + "_" + info.param.kind;
                         });

// The allocation bound is only checked where allocations can be seen; in a
// sanitizer build they must be, or the check would pass unseen.
TEST(AllocationWatch, SeesTheLargestAllocationUnderAddressSanitizer)
{
    if (!AllocationWatch::Available()) {
        GTEST_SKIP() << "built without AddressSanitizer";
    }
    const AllocationWatch watch;
    auto block = std::make_unique<char[]>(3'000'000);
    block[0] = 1;
    EXPECT_EQ(block[0], 1);
    EXPECT_GE(watch.Largest(), 3'000'000u);
}

}  // namespace
}  // namespace tonarel::fuzz
