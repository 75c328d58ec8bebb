#include <gtest/gtest.h>

#include "engine/Matching.h"
#include "engine/SkipRules.h"

#include <memory>
#include <vector>

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
    EXPECT_FALSE(DateMatches(DateCriteria(static_cast<DateCondition>(7), INT64_MIN, INT64_MAX), 0));
    EXPECT_FALSE(DateMatches(DateCriteria(static_cast<DateCondition>(-1), INT64_MIN, INT64_MAX), 0));
}

TEST(MatchEntryTest, EachTestCanRejectAndAHitGivesItsLowerCaseType)
{
    SearchCriteria criteria = TypeCriteria("doc");
    criteria.sizeCondition = SizeCondition::IsLessThan;
    criteria.sizeFrom = 1000;
    criteria.dateCondition = DateCondition::IsBefore;
    criteria.dateFrom = 1000;
    const WantedTypes types(criteria.fileType);

    std::string type = "left from before";
    EXPECT_TRUE(MatchEntry(criteria, types, "REPORT.DOC", 1000, 1000, type));
    EXPECT_EQ(type, "doc");
    EXPECT_FALSE(MatchEntry(criteria, types, "a.txt", 1000, 1000, type));
    EXPECT_FALSE(MatchEntry(criteria, types, "a.doc", 1001, 1000, type));
    EXPECT_FALSE(MatchEntry(criteria, types, "a.doc", 1000, 1001, type));
    EXPECT_TRUE(MatchEntry(SearchCriteria(), WantedTypes(""), "Data", 0, 0, type));
    EXPECT_EQ(type, "");
}

TEST(TextStoreTest, RowsKeepTheirTextsWhereverTheStoreGoes)
{
    auto store = std::make_unique<TextStore>();
    const std::string* docs = store->AddFolder("C:\\Docs\\");
    FoundFile upper = store->AddRow(docs, "REPORT.DOC", "doc");
    FoundFile lower = store->AddRow(docs, "x.tar.gz", "gz");
    // Longer than a block's share: it gets room of its own.
    const std::string longName(20000, 'n');
    FoundFile longOne = store->AddRow(docs, longName + ".Txt", "txt");
    std::vector<FoundFile> many;
    for (int i = 0; i < 5000; i++)
        many.push_back(store->AddRow(docs, "file" + std::to_string(i) + ".doc", "doc"));

    TextStore results;
    results.Take(*store);
    store.reset();
    EXPECT_EQ(upper.Name(), "REPORT.DOC");
    EXPECT_EQ(upper.Type(), "doc");
    EXPECT_EQ(upper.Path(), "C:\\Docs\\REPORT.DOC");
    EXPECT_EQ(lower.Type(), "gz");
    EXPECT_EQ(longOne.Name(), longName + ".Txt");
    EXPECT_EQ(longOne.Type(), "txt");
    for (int i = 0; i < 5000; i++)
        ASSERT_EQ(many[i].Name(), "file" + std::to_string(i) + ".doc") << i;
    EXPECT_EQ(FoundFile().Path(), "");
}

TEST(DropRowsTest, RowsLeftByDeletionsKeepTheirFoundPlaces)
{
    TextStore store;
    const std::string* folder = store.AddFolder("C:\\");
    std::vector<FoundFile> rows;
    for (int i = 0; i < 6; i++)
        rows.push_back(store.AddRow(folder, std::to_string(i), ""));
    std::vector<uint32_t> places;
    EXPECT_EQ(RowAtFoundPlace(places, rows.size(), 4), 4u);
    EXPECT_EQ(RowAtFoundPlace(places, rows.size(), 6), SIZE_MAX);

    DropRows(rows, places, {0, 1, 0, 0, 0, 0});
    DropRows(rows, places, {1, 0, 0, 1, 0});
    ASSERT_EQ(rows.size(), 3u);
    std::vector<size_t> kept;
    for (size_t row = 0; row < rows.size(); row++)
    {
        kept.push_back(FoundPlace(places, row));
        EXPECT_EQ(rows[row].Name(), std::to_string(kept.back()));
        EXPECT_EQ(RowAtFoundPlace(places, rows.size(), kept.back()), row);
    }
    EXPECT_EQ(kept, (std::vector<size_t>{2, 3, 5}));
    EXPECT_EQ(RowAtFoundPlace(places, rows.size(), 4), SIZE_MAX);
    // Dropping nothing changes nothing.
    DropRows(rows, places, {0, 0, 0});
    EXPECT_EQ(rows.size(), 3u);
}

TEST(SkipRulesTest, PathsSkipTheirTreesAndPatternsTheFoldersTheyName)
{
    // Folders, by their Windows paths: the wide literals hold surrogate pairs there.
    const char* const paths = "C:\\Work\\Keep; \\\\?\\UNC\\Srv\\Share\\Old\\ ;D:\\Trail\\\\";
    const char* const patterns =
        " node_modules ;.git;\t*cache*\t;?-tmp;a*b*c;\xCE\x9A\xCE\xA1\xCE\xA5\xCE\xA6\xCE\x9F;\xE6\x97\xA5\xE6\x9C\xAC*";
    const struct
    {
        const char* rules;
        const wchar_t* folder;
        bool skipped;
    } cases[] = {
        {paths, L"C:\\Work\\Keep", true},
        {paths, L"c:\\work\\keep\\", true},
        {paths, L"\\\\?\\C:\\WORK\\KEEP\\sub\\deeper", true},
        {paths, L"C:\\Work\\Keeper", false},
        {paths, L"C:\\Work", false},
        {paths, L"\\\\srv\\share\\old\\x", true},
        {paths, L"\\\\?\\UNC\\SRV\\Share\\Old", true},
        {paths, L"\\\\srv\\share\\older", false},
        {paths, L"D:\\trail", true},
        {patterns, L"C:\\p\\node_modules", true},
        {patterns, L"C:\\p\\a\\b\\NODE_MODULES\\", true},
        {patterns, L"C:\\p\\node_modules_x", false},
        {patterns, L"\\\\?\\C:\\p\\.GIT", true},
        {patterns, L"C:\\p\\.github", false},
        {patterns, L"C:\\p\\WebCache", true},
        // Only the folder's own name counts: below a matching folder the walk never comes.
        {patterns, L"C:\\p\\Cache\\inner", false},
        {patterns, L"C:\\p\\\U0001F600-tmp", true},
        {patterns, L"C:\\p\\axxbyyc", true},
        {patterns, L"C:\\p\\abcb", false},
        {patterns, L"C:\\p\\\u03ba\u03c1\u03c5\u03c6\u03bf", true},
        {patterns, L"C:\\p\\\u039a\u03c1\u03c5\u03c6\u03bf", true},
        {patterns, L"C:\\p\\\u65e5\u672c\u8a9e", true},
        // A disk's or a share's root has no name for a pattern to match.
        {"*", L"C:\\", false},
        {"*", L"\\\\srv\\share", false},
        {"*", L"\\\\?\\C:\\x", true},
    };
    for (const auto& c : cases)
    {
        SkipRules rules;
        std::string tooLong;
        ASSERT_TRUE(rules.Parse(c.rules, tooLong)) << c.rules;
        EXPECT_EQ(rules.Skips(c.folder), c.skipped) << c.rules << " / " << c.folder;
    }
}

TEST(SkipRulesTest, EmptyEntriesAreIgnoredAndATooLongOneIsRefused)
{
    SkipRules rules;
    std::string tooLong;
    for (const char* nothing : {"", " ", " ; ;\t;", ";;", "\\", " \\\\ ;"})
    {
        EXPECT_TRUE(rules.Parse(nothing, tooLong)) << '"' << nothing << '"';
        EXPECT_TRUE(rules.Empty()) << '"' << nothing << '"';
        EXPECT_FALSE(rules.Skips(L"C:\\x")) << '"' << nothing << '"';
    }

    // A new text replaces the rules before it.
    ASSERT_TRUE(rules.Parse("cache", tooLong));
    ASSERT_TRUE(rules.Parse("logs", tooLong));
    EXPECT_FALSE(rules.Skips(L"C:\\cache"));
    EXPECT_TRUE(rules.Skips(L"C:\\logs"));

    // The bound counts UTF-16 units, as a path's length is counted: an emoji takes two.
    const std::string longest = "C:\\" + std::string(SkipRules::kMaxEntryLength - 3, 'x');
    EXPECT_TRUE(rules.Parse("a;" + longest, tooLong));
    std::string emoji;
    for (size_t n = 0; n < SkipRules::kMaxEntryLength / 2 + 1; n++)
        emoji += "\xF0\x9F\x98\x80";
    for (const std::string& entry : {longest + "x", emoji})
    {
        tooLong.clear();
        EXPECT_FALSE(rules.Parse("cache; " + entry + " ;logs", tooLong));
        EXPECT_EQ(tooLong, entry);
        EXPECT_FALSE(rules.Skips(L"C:\\cache"));
    }
}
