#include <gtest/gtest.h>

#include "engine/Matching.h"

namespace
{

SearchCriteria TypeCriteria(const std::string& fileType)
{
    SearchCriteria criteria;
    criteria.fileType = fileType;
    return criteria;
}

bool NameMatches(const std::string& fileType, const std::string& name)
{
    return WantedTypes(fileType).Match(FileTypeOf(name));
}

SearchCriteria SizeCriteria(SizeCondition condition, uint64_t from, uint64_t to = 0)
{
    SearchCriteria criteria;
    criteria.sizeCondition = condition;
    criteria.sizeFrom = from;
    criteria.sizeTo = to;
    return criteria;
}

SearchCriteria DateCriteria(DateCondition condition, int64_t from, int64_t to = 0)
{
    SearchCriteria criteria;
    criteria.dateCondition = condition;
    criteria.dateFrom = from;
    criteria.dateTo = to;
    return criteria;
}

constexpr uint64_t kGb = 1073741824;

} // namespace

TEST(FileTypeTest, TextAfterTheLastDotInLowerCase)
{
    EXPECT_EQ(FileTypeOf("REPORT.DOC"), "doc");
    EXPECT_EQ(FileTypeOf("x.tar.Gz"), "gz");
    EXPECT_EQ(FileTypeOf(".profile"), "profile");
    EXPECT_EQ(FileTypeOf("archive."), "");
    EXPECT_EQ(FileTypeOf("doc"), "");
}

TEST(TypeMatchesTest, ComparesTheWholeExtensionWithoutCase)
{
    EXPECT_TRUE(NameMatches("doc", "REPORT.DOC"));
    EXPECT_TRUE(NameMatches("doc", "a.Doc"));
    EXPECT_TRUE(NameMatches("doc", "x.tar.doc"));
    EXPECT_TRUE(NameMatches("profile", ".profile"));
    EXPECT_FALSE(NameMatches("doc", "doc"));
    EXPECT_FALSE(NameMatches("doc", "a.docx"));
    EXPECT_FALSE(NameMatches("doc", "a.doc.bak"));
}

TEST(TypeMatchesTest, EmptyTypeOnlyForAllFiles)
{
    EXPECT_TRUE(NameMatches("", "archive."));
    EXPECT_TRUE(NameMatches("*", "archive."));
    EXPECT_FALSE(NameMatches("doc", "archive."));
    EXPECT_FALSE(NameMatches("*.*", "a.doc"));
}

TEST(TypeMatchesTest, WildcardsAreLiteral)
{
    EXPECT_FALSE(NameMatches("do?", "a.doc"));
    EXPECT_TRUE(NameMatches("do?", "a.do?"));
    EXPECT_FALSE(NameMatches("d*", "a.doc"));
}

TEST(TypeMatchesTest, AnyOfSeveralTypesWithoutCase)
{
    for (const char* name : {"a.tmp", "B.LOG", "c.Bak"})
        EXPECT_TRUE(NameMatches("tmp;LOG;bak", name)) << name;
    EXPECT_FALSE(NameMatches("tmp;log;bak", "a.doc"));
    EXPECT_FALSE(NameMatches("tmp;log;bak", "a.tmp.old"));
    EXPECT_FALSE(NameMatches("tmp;log", "archive."));
    // An empty or "*" item anywhere means all files.
    EXPECT_TRUE(NameMatches("tmp;*", "archive."));
    EXPECT_TRUE(NameMatches(";tmp", "a.doc"));
    EXPECT_TRUE(WantedTypes("log;").AllFiles());
    EXPECT_FALSE(WantedTypes("log;l").AllFiles());
}

TEST(FileTypeOfPatternsTest, OneOrSeveralPatternsWithBlanksAroundEach)
{
    auto typed = [](const std::string& text) { return FileTypeOfPatterns(text).value_or("<refused>"); };
    EXPECT_EQ(typed("*.doc"), "doc");
    EXPECT_EQ(typed("*.*"), "*");
    EXPECT_EQ(typed("*."), "");
    EXPECT_EQ(typed("*.do?"), "do?");
    EXPECT_EQ(typed("*.tmp;*.log;*.bak"), "tmp;log;bak");
    EXPECT_EQ(typed("*.tmp; *.LOG"), "tmp;LOG");
    EXPECT_EQ(typed(" \t*.tmp  ;\t*.log "), "tmp;log");
    // A ';' at the end closes the list instead of adding an empty item.
    EXPECT_EQ(typed("*.tmp;"), "tmp");
    EXPECT_EQ(typed("*.tmp; "), "tmp");
    // "*." among others still means all files.
    EXPECT_EQ(typed("*.tmp;*."), "tmp;");
    for (const char* refused : {"", " ", "doc", ".doc", "*doc", ";", ";*.tmp", "*.tmp;;*.log", "*.tmp;log", "*.tmp;;"})
        EXPECT_FALSE(FileTypeOfPatterns(refused)) << '"' << refused << '"';

    // A long list, as the edit box takes it: every type is wanted, the last one too.
    std::string list;
    for (int n = 0; n < 60; n++)
        list += "*.e" + std::to_string(n) + ";";
    ASSERT_GT(list.size(), 255u);
    WantedTypes types(typed(list));
    EXPECT_TRUE(types.Match("e59"));
    EXPECT_TRUE(types.Match("e0"));
    EXPECT_FALSE(types.Match("e60"));
}

TEST(SizeMatchesTest, InclusiveBoundsOnFull64BitSizes)
{
    const uint64_t tenMb = 10 * 1048576;
    EXPECT_TRUE(SizeMatches(SizeCriteria(SizeCondition::Any, 0), UINT64_MAX));
    EXPECT_TRUE(SizeMatches(SizeCriteria(SizeCondition::IsMoreThan, tenMb), tenMb));
    EXPECT_FALSE(SizeMatches(SizeCriteria(SizeCondition::IsMoreThan, tenMb), tenMb - 1));
    EXPECT_TRUE(SizeMatches(SizeCriteria(SizeCondition::IsLessThan, tenMb), tenMb));
    EXPECT_FALSE(SizeMatches(SizeCriteria(SizeCondition::IsLessThan, tenMb), tenMb + 1));
    EXPECT_TRUE(SizeMatches(SizeCriteria(SizeCondition::IsLessThan, 0), 0));
    EXPECT_FALSE(SizeMatches(SizeCriteria(SizeCondition::IsLessThan, 0), 1));

    // Above 4 GiB the high half counts: 5 GB must not wrap to 1 GB.
    EXPECT_TRUE(SizeMatches(SizeCriteria(SizeCondition::IsMoreThan, 4 * kGb), 5 * kGb));
    EXPECT_FALSE(SizeMatches(SizeCriteria(SizeCondition::IsLessThan, 4 * kGb), 5 * kGb));
    EXPECT_FALSE(SizeMatches(SizeCriteria(SizeCondition::IsMoreThan, 5 * kGb), 4 * kGb));
    EXPECT_TRUE(SizeMatches(SizeCriteria(SizeCondition::IsLessThan, 5 * kGb), 4 * kGb));

    const SearchCriteria between = SizeCriteria(SizeCondition::IsBetween, 100, 200);
    EXPECT_TRUE(SizeMatches(between, 100));
    EXPECT_TRUE(SizeMatches(between, 200));
    EXPECT_FALSE(SizeMatches(between, 99));
    EXPECT_FALSE(SizeMatches(between, 201));
}

TEST(MatchesTest, UnknownConditionsNeverPass)
{
    EXPECT_FALSE(SizeMatches(SizeCriteria(static_cast<SizeCondition>(4), 0, UINT64_MAX), 10));
    EXPECT_FALSE(SizeMatches(SizeCriteria(static_cast<SizeCondition>(-1), 0, UINT64_MAX), 10));
    EXPECT_FALSE(DateMatches(DateCriteria(static_cast<DateCondition>(5), INT64_MIN, INT64_MAX), 0));
    EXPECT_FALSE(DateMatches(DateCriteria(static_cast<DateCondition>(-1), INT64_MIN, INT64_MAX), 0));
}

TEST(MatchEntryTest, HitGetsEveryField)
{
    SearchCriteria criteria = TypeCriteria("doc");
    criteria.sizeCondition = SizeCondition::IsMoreThan;
    criteria.sizeFrom = 5 * kGb;
    criteria.dateCondition = DateCondition::IsAfter;
    criteria.dateFrom = 1714521600;
    const ZoneRule plusTwo = {-120};

    FoundFile hit;
    hit.selected = 1;
    ASSERT_TRUE(MatchEntry(criteria, WantedTypes(criteria.fileType), "REPORT.DOC", "C:\\Docs\\", 5 * kGb, 1714571110, plusTwo, hit));
    EXPECT_EQ(hit.name, "REPORT.DOC");
    EXPECT_EQ(hit.type, "doc");
    EXPECT_EQ(hit.folder, "C:\\Docs\\");
    EXPECT_EQ(hit.size, 5 * kGb);
    EXPECT_EQ(hit.dateText, "05/01/24 15:45:10");
    EXPECT_EQ(hit.selected, 0);
    EXPECT_EQ(hit.testedTime, 1714571110);

    ASSERT_TRUE(MatchEntry(SearchCriteria(), WantedTypes(""), "Data", "C:\\Data\\Data\\", 0, 0, ZoneRule(), hit));
    EXPECT_EQ(hit.name, "Data");
    EXPECT_EQ(hit.type, "");
    EXPECT_EQ(hit.folder, "C:\\Data\\Data\\");
    EXPECT_EQ(hit.dateText, "01/01/70 00:00:00");
}

TEST(MatchEntryTest, EachTestCanRejectAndLeavesTheRowAlone)
{
    SearchCriteria criteria = TypeCriteria("doc");
    criteria.sizeCondition = SizeCondition::IsLessThan;
    criteria.sizeFrom = 1000;
    criteria.dateCondition = DateCondition::IsBefore;
    criteria.dateFrom = 1000;

    FoundFile row;
    row.name = "kept";
    EXPECT_TRUE(MatchEntry(criteria, WantedTypes(criteria.fileType), "a.doc", "C:\\", 1000, 1000, ZoneRule(), row));
    row.name = "kept";
    EXPECT_FALSE(MatchEntry(criteria, WantedTypes(criteria.fileType), "a.txt", "C:\\", 1000, 1000, ZoneRule(), row));
    EXPECT_FALSE(MatchEntry(criteria, WantedTypes(criteria.fileType), "a.doc", "C:\\", 1001, 1000, ZoneRule(), row));
    EXPECT_FALSE(MatchEntry(criteria, WantedTypes(criteria.fileType), "a.doc", "C:\\", 1000, 1001, ZoneRule(), row));
    EXPECT_EQ(row.name, "kept");
}
