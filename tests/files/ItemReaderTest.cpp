#include "files/ItemReader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> itemsOf(std::string_view text)
{
    std::vector<std::string> items;
    files::ItemScanner scanner(text);
    while (!scanner.atEnd())
        items.emplace_back(scanner.next());
    return items;
}

struct ItemRow
{
    const char* name;
    std::string text;
    std::vector<std::string> items;
};

TEST(ItemReading, SplitsAsTheFileRulesSay)
{
    const ItemRow rows[] = {
        ItemRow{"EmptyText", "", {}},
        ItemRow{"OneLineNoEnd", "abc", {"abc"}},
        ItemRow{"FinalLineEndStartsNoItem", "abc\r\n", {"abc"}},
        ItemRow{"CrLfLfAndCrAllEndLines", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        ItemRow{"EmptyLineIsOneEmptyItem", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        ItemRow{"CommaEndsItem", "a,b\r\nc", {"a", "b", "c"}},
        ItemRow{"CommaBeforeLineEndLeavesEmptyItem", "a,\r\nb", {"a", "", "b"}},
        ItemRow{"LeadingBlanksSkipped", "   a,  b\r\n    c", {"a", "b", "c"}},
        ItemRow{"TrailingBlanksKept", "Unit : \r\n", {"Unit : "}},
        ItemRow{"TabIsNotSkipped", "\tx\t\r\n", {"\tx\t"}},
        ItemRow{"BlankLineIsEmptyItem", "   \r\nx", {"", "x"}},
        ItemRow{"QuotedKeepsCommas", "\"a,b\",c\r\n", {"a,b", "c"}},
        ItemRow{"QuotedAfterBlanks", "  \"x y\"\r\n", {"x y"}},
        ItemRow{"TextAfterClosingQuoteDropped", "\"ab\"cd,e\r\n", {"ab", "e"}},
        ItemRow{"UnclosedQuoteEndsAtLineEnd", "\"ab,c\r\nd", {"ab,c", "d"}},
        ItemRow{"EmptyQuoted", "\"\"\r\n", {""}},
        ItemRow{"QuoteInsideItemIsText", "a\"b\"c\r\n", {"a\"b\"c"}},
        ItemRow{"ManyItemsWithoutLineEnd", "1,2,3,4,5", {"1", "2", "3", "4", "5"}}};
    for (const ItemRow& row : rows)
        EXPECT_EQ(itemsOf(row.text), row.items) << row.name;
}

} // namespace
