#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Minecraft's Named Binary Tags, as schematics hold them: a tree of
// numbers, strings, arrays, lists and compounds, big-endian.
struct NbtTag {
    enum Type : uint8_t {
        END,
        BYTE,
        SHORT,
        INT,
        LONG,
        FLOAT,
        DOUBLE,
        BYTE_ARRAY,
        STRING,
        LIST,
        COMPOUND,
        INT_ARRAY,
        LONG_ARRAY
    };
    Type type = END;
    // A byte, short, int or long.
    int64_t number = 0;
    std::string text;
    // The values of an int or long array, and those of a byte array.
    std::vector<int64_t> numbers;
    std::vector<unsigned char> bytes;
    // A list's items, or a compound's fields, each named by its name.
    std::vector<NbtTag> items;
    std::vector<std::string> names;

    // The field of a compound of that name and type; null when there is none.
    NbtTag const* find(std::string_view name, Type of) const;
};

// The most tags a file may hold, and how deep they may nest.
inline constexpr size_t MAX_NBT_TAGS = size_t{1} << 20;
inline constexpr int MAX_NBT_DEPTH = 64;

// The root compound of the bytes, refused with FormatError where they
// cannot be followed or pass the limits above.
NbtTag readNbt(std::vector<unsigned char> const& bytes);
