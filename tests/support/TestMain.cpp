// tests/support/TestMain.cpp
// The Windows test programs' entry: GoogleTest's own, and lines a cmd
// script can read (the self-test bundle's runner): one per test left out,
// with its reason, and a last one with the counts. With
// --selftest_count_only, the program runs nothing and counts all its
// tests as left out, for a runner that leaves the whole program out.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

class PlainCounts : public ::testing::EmptyTestEventListener {
    void OnTestPartResult(const ::testing::TestPartResult& result) override
    {
        if (result.skipped() && m_reason.empty())
            m_reason = result.message();
    }

    void OnTestEnd(const ::testing::TestInfo& test) override
    {
        if (test.result()->Skipped()) {
            std::string reason = m_reason;
            for (char& c : reason) {
                if (c == '\r' || c == '\n')
                    c = ' ';
            }
            std::printf("selftest skipped: %s.%s: %s\n", test.test_suite_name(), test.name(), reason.c_str());
        }
        m_reason.clear();
    }

    void OnTestProgramEnd(const ::testing::UnitTest& unit) override
    {
        std::printf("selftest counts: %d passed, %d failed, %d skipped\n", unit.successful_test_count(),
                    unit.failed_test_count(), unit.skipped_test_count());
        std::fflush(stdout);
    }

    std::string m_reason;
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc == 2 && std::string(argv[1]) == "--selftest_count_only") {
        std::printf("selftest counts: 0 passed, 0 failed, %d skipped\n",
                    ::testing::UnitTest::GetInstance()->total_test_count());
        return 0;
    }
    ::testing::UnitTest::GetInstance()->listeners().Append(new PlainCounts);
    return RUN_ALL_TESTS();
}
