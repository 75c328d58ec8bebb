#include "search_page/KeptSearch.h"
#include "search_page/ResultText.h"

#include <gtest/gtest.h>

TEST(SelectionTotalText, ShowsBytesAndTheLargestUnitOfAtLeastOne)
{
    EXPECT_EQ(SelectionTotalText(0, 0), "Selected: 0 file(s)");
    EXPECT_EQ(SelectionTotalText(2, 17), "Selected: 2 file(s), 17 bytes");
    EXPECT_EQ(SelectionTotalText(1, 0), "Selected: 1 file(s), 0 bytes");
    EXPECT_EQ(SelectionTotalText(3, 1023), "Selected: 3 file(s), 1023 bytes");
    EXPECT_EQ(SelectionTotalText(1, 1024), "Selected: 1 file(s), 1024 bytes (1.0 KB)");
    EXPECT_EQ(SelectionTotalText(1, 1536), "Selected: 1 file(s), 1536 bytes (1.5 KB)");
    // Tenths are cut: just below a megabyte stays in kilobytes.
    EXPECT_EQ(SelectionTotalText(1, 1048575), "Selected: 1 file(s), 1048575 bytes (1023.9 KB)");
    EXPECT_EQ(SelectionTotalText(1, 10485760), "Selected: 1 file(s), 10485760 bytes (10.0 MB)");
    EXPECT_EQ(SelectionTotalText(2, 1073741824), "Selected: 2 file(s), 1073741824 bytes (1.0 GB)");
    // Above 4 GiB the sum and the unit stay exact.
    EXPECT_EQ(SelectionTotalText(2, 5368709120ull + 4294967296ull),
              "Selected: 2 file(s), 9663676416 bytes (9.0 GB)");
    EXPECT_EQ(SelectionTotalText(100000, 107374182400000ull),
              "Selected: 100000 file(s), 107374182400000 bytes (100000.0 GB)");
}

TEST(CsvRecord, QuotesOnlyFieldsThatNeedItAndDoublesQuotes)
{
    EXPECT_EQ(CsvRecord({"N", "Name", "Type"}), "N,Name,Type\r\n");
    EXPECT_EQ(CsvRecord({"1", "a,b.txt", ""}), "1,\"a,b.txt\",\r\n");
    EXPECT_EQ(CsvRecord({"say \"hi\".doc"}), "\"say \"\"hi\"\".doc\"\r\n");
    EXPECT_EQ(CsvRecord({"two\nlines", "cr\rhere"}), "\"two\nlines\",\"cr\rhere\"\r\n");
    // Text outside ASCII passes byte for byte.
    EXPECT_EQ(CsvRecord({"\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82.doc", "C:\\\xE6\x97\xA5\\"}),
              "\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82.doc,C:\\\xE6\x97\xA5\\\r\n");
    EXPECT_EQ(CsvRecord({}), "\r\n");
}

TEST(CellText, EachColumnOfARowWithTheDateMadeFromTheTestedTime)
{
    TextStore store;
    FoundFile row = store.AddRow(store.AddFolder("C:\\Docs\\"), "REPORT.DOC", "doc");
    row.size = 5368709120ull;
    row.testedTime = 1714571110;
    const ZoneRule plusTwo = {-120};
    EXPECT_EQ(CellText(row, 41, 0, plusTwo), "42");
    EXPECT_EQ(CellText(row, 41, 1, plusTwo), "REPORT.DOC");
    EXPECT_EQ(CellText(row, 41, 2, plusTwo), "doc");
    EXPECT_EQ(CellText(row, 41, 3, plusTwo), "C:\\Docs\\");
    EXPECT_EQ(CellText(row, 41, 4, plusTwo), "5368709120");
    EXPECT_EQ(CellText(row, 41, 5, plusTwo), "05/01/24 15:45:10");
    EXPECT_EQ(CellText(FoundFile(), 0, 5, ZoneRule()), "01/01/70 00:00:00");
}

// Everything the page keeps comes back whole; a text that is not wholly of the
// format gives nothing and leaves the search as it was.
TEST(KeptSearchText, ReadsBackWholeAndRefusesAnythingElse)
{
    KeptSearch kept;
    kept.locations = {"C:\\Users\\Zoë\\Downloads", "\\\\server\\share=1\\日本"};
    kept.allFiles = false;
    kept.fileType = "*.log;*.tmp = old";
    kept.dateKind = 2;
    kept.dateCondition = 5;
    kept.dateMode = 1;
    kept.fromDate = {2024, 2, 29};
    kept.fromTime = {7, 8, 9};
    kept.toDate = {2026, 12, 31};
    kept.ageAmount = 9999;
    kept.ageUnit = 2;
    kept.sizeCondition = 3;
    kept.sizeUnit = 3;
    kept.sizeFrom = 1;
    kept.sizeTo = 2147483647;
    kept.skipFolders = "node_modules; *cache*;C:\\Backup\\";
    kept.recycle = true;
    const std::string text = kept.Format();
    KeptSearch back;
    ASSERT_TRUE(back.Parse(text));
    EXPECT_EQ(back.Format(), text);
    EXPECT_EQ(back.locations, kept.locations);
    EXPECT_FALSE(back.allFiles);
    EXPECT_EQ(back.skipFolders, kept.skipFolders);
    EXPECT_TRUE(back.recycle);
    // A file from before the choice existed keeps the first state: deletions for good.
    KeptSearch older;
    ASSERT_TRUE(older.Parse(text.substr(0, text.find("recycle bin=yes\r\n"))));
    EXPECT_FALSE(older.recycle);
    EXPECT_EQ(older.skipFolders, kept.skipFolders);

    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), to);
        return changed;
    };
    const std::string damaged[] = {
        "",
        text.substr(0, text.size() / 2),
        replaced("version 1", "version 2"),
        replaced("from date=2024-02-29", "from date=2023-02-29"),
        replaced("age=9999", "age=0"),
        replaced("age=9999", "age=10000"),
        replaced("age unit=months", "age unit=fortnights"),
        replaced("size to=2147483647", "size to=2147483648"),
        replaced("to time=23:59:59", "to time=24:00:00"),
        replaced("files=type", "files=type\r\nfiles=all"),
        replaced("files=type", "colour=blue"),
        replaced("files=type", "files type"),
        replaced("location=C", "location=\r\nlocation=C"),
        replaced("recycle bin=yes", "recycle bin=maybe"),
        replaced("recycle bin=yes", "recycle bin=yes\r\nrecycle bin=no"),
    };
    for (const std::string& bad : damaged)
    {
        KeptSearch left = kept;
        EXPECT_FALSE(left.Parse(bad)) << bad;
        EXPECT_EQ(left.Format(), text) << bad;
    }
}

// A 32-bit program's shell takes System32 for SysWOW64: a file of the real
// System32 is named through Sysnative, and nothing else changes.
TEST(ShellPath, TheRealSystem32GoesThroughSysnativeOnlyUnderRedirection)
{
    const std::string system = "C:\\Windows\\system32";
    struct Case
    {
        std::string path;
        bool redirected;
        std::string shown;
    };
    const Case cases[] = {
        {"C:\\Windows\\System32\\drivers\\etc\\hosts", true, "C:\\Windows\\Sysnative\\drivers\\etc\\hosts"},
        {"c:\\windows\\SYSTEM32\\notepad.exe", true, "C:\\Windows\\Sysnative\\notepad.exe"},
        {"C:\\Windows\\System32\\notepad.exe", false, "C:\\Windows\\System32\\notepad.exe"},
        {"C:\\Windows\\System32", true, "C:\\Windows\\System32"},
        {"C:\\Windows\\System32x\\a.txt", true, "C:\\Windows\\System32x\\a.txt"},
        {"C:\\Windows\\SysWOW64\\a.txt", true, "C:\\Windows\\SysWOW64\\a.txt"},
        {"D:\\Windows\\System32\\a.txt", true, "D:\\Windows\\System32\\a.txt"},
    };
    for (const Case& test : cases)
    {
        EXPECT_EQ(ShellPathOf(test.path, system, "C:\\Windows", test.redirected), test.shown) << test.path;
        EXPECT_EQ(ShellPathOf(test.path, system, "C:\\Windows\\", test.redirected), test.shown) << test.path;
    }
}
