#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "scene-description.h"
#include "scene-tokens.h"

// Entry keywords, compared byte by byte.
extern std::map<std::string, ObjectType> const objectTypeMapper;
// The colour words of rectangles, case-sensitive.
extern std::map<std::string, raylib::Color> const colorMapper;

// A scene's text read as data: every entry that could be read, in file
// order, and every problem of the text; after a problem the reading goes
// on at the next line that starts with a word. Builds nothing and reads no
// other file.
SceneDescription readSceneDescription(std::string const& text, std::string const& sourceName);

// The fields of one entry of the given kind, from the tokens right after
// its keyword; nothing for a comment, or when a read failed (the tokens say
// why). Warnings of fields that read but hardly mean what they say go to
// warnings, with their offsets, when it is given.
std::optional<EntryFields> readEntryFields(ObjectType type, SceneTokens& tokens,
                                           std::vector<std::pair<size_t, std::string>>* warnings = nullptr);

// "Encountered unknown object: WORD", the word cut at 40 bytes.
std::string unknownKeywordMessage(std::string const& word);
