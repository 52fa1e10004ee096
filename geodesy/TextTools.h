// Small text helpers of the file readers: the line tokenizer, blank and digit predicates, and
// path helpers. Lines are byte strings (GBK); only ASCII bytes are ever tested.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// -1 (all bits set) when every character is a blank, a line feed or a carriage return, also
// for the empty string; 0 otherwise. A tab is a non-blank character.
int IsSpaceString(const char* text);

// 1 when every character is one of 0-9 . - + (also for the empty string); 0 otherwise.
// Characters only, not the form of a number: "1-2." passes.
int IsDigit(const char* text);

// Splits a line into items at the delimiter: the line is trimmed, then each item is the text
// up to the next delimiter, trimmed on the right, and the rest is trimmed on the left. With a
// blank delimiter runs of blanks count as one separator; with a comma an empty field gives an
// empty item. An empty line gives one empty item. Returns the number of items.
int GetItemsValue(const char* line, std::vector<std::string>& items, char delimiter);
// The same items as views into line (which must outlive them): no copy per item.
int GetItemViews(std::string_view line, std::vector<std::string_view>& items, char delimiter);

// Fills length blanks and a terminating zero; for length < 1 only the terminating zero.
// The buffer must hold length + 1 characters.
void FormatSpace(char* buffer, int length);

// 1 and directory = the directory part of fileName with its trailing separator ('/' or '\');
// 0 and directory unchanged when the name has no directory part.
int GetPathFromFileName(const std::string& fileName, std::string& directory);

// The directory of the running program's executable, with a trailing '/'.
void GetLaunchedDir(std::string& directory);

namespace vemo {

// Strict number parsing in the "C" locale: the whole text must be a finite number.
std::optional<double> ParseNumber(const std::string& text);
std::optional<int> ParseInteger(const std::string& text);

}  // namespace vemo
