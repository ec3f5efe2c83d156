#include "nbt.h"

#include <cstring>

#include "voxel-parts.h"

NbtTag const* NbtTag::find(std::string_view name, Type of) const {
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name && items[i].type == of) return &items[i];
    }
    return nullptr;
}

namespace {

class NbtReader {
public:
    explicit NbtReader(std::vector<unsigned char> const& bytes) : bytes(bytes) {}

    NbtTag root() {
        if (unsigned_(1) != NbtTag::COMPOUND) refuse("its tags do not begin with a compound");
        text();
        return tag(NbtTag::COMPOUND, 0);
    }

private:
    [[noreturn]] void refuse(std::string const& what) const {
        throw FormatError("at byte " + std::to_string(at) + " of its tags: " + what);
    }

    void need(size_t n) const {
        if (n > bytes.size() - at) refuse("they end early");
    }

    uint64_t unsigned_(int size) {
        need(size_t(size));
        uint64_t value = 0;
        for (int i = 0; i < size; ++i) value = value << 8 | bytes[at++];
        return value;
    }

    int64_t signed_(int size) {
        uint64_t const value = unsigned_(size);
        int const unused = 64 - 8 * size;
        return static_cast<int64_t>(value << unused) >> unused;
    }

    std::string text() {
        size_t const length = unsigned_(2);
        need(length);
        std::string value(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                          bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        return value;
    }

    // How many elements an array or list says it has, each at least size bytes.
    size_t count(size_t size) {
        int64_t const n = signed_(4);
        if (n < 0) refuse("a negative count");
        if (size > 0 && static_cast<uint64_t>(n) > (bytes.size() - at) / size) refuse("a count past their end");
        return static_cast<size_t>(n);
    }

    NbtTag tag(uint8_t type, int depth) {
        if (++tags > MAX_NBT_TAGS) refuse("more than " + std::to_string(MAX_NBT_TAGS) + " tags");
        if (depth > MAX_NBT_DEPTH) refuse("tags nested deeper than " + std::to_string(MAX_NBT_DEPTH));
        NbtTag tag;
        tag.type = static_cast<NbtTag::Type>(type);
        switch (type) {
            case NbtTag::BYTE: tag.number = signed_(1); break;
            case NbtTag::SHORT: tag.number = signed_(2); break;
            case NbtTag::INT: tag.number = signed_(4); break;
            case NbtTag::LONG: tag.number = signed_(8); break;
            case NbtTag::FLOAT: tag.number = signed_(4); break;
            case NbtTag::DOUBLE: tag.number = signed_(8); break;
            case NbtTag::STRING: tag.text = text(); break;
            case NbtTag::BYTE_ARRAY: {
                size_t const n = count(1);
                tag.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                 bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
                at += n;
                break;
            }
            case NbtTag::INT_ARRAY:
            case NbtTag::LONG_ARRAY: {
                int const size = type == NbtTag::INT_ARRAY ? 4 : 8;
                size_t const n = count(size_t(size));
                tag.numbers.reserve(n);
                for (size_t i = 0; i < n; ++i) tag.numbers.push_back(signed_(size));
                break;
            }
            case NbtTag::LIST: {
                uint8_t const of = static_cast<uint8_t>(unsigned_(1));
                size_t const n = count(1);
                if (n > 0 && (of == NbtTag::END || of > NbtTag::LONG_ARRAY)) refuse("a list of tags of no type");
                for (size_t i = 0; i < n; ++i) tag.items.push_back(this->tag(of, depth + 1));
                break;
            }
            case NbtTag::COMPOUND:
                for (uint8_t field; (field = static_cast<uint8_t>(unsigned_(1))) != NbtTag::END;) {
                    if (field > NbtTag::LONG_ARRAY) refuse("a tag of the unknown type " + std::to_string(field));
                    tag.names.push_back(text());
                    tag.items.push_back(this->tag(field, depth + 1));
                }
                break;
            default: refuse("a tag of the unknown type " + std::to_string(type));
        }
        return tag;
    }

    std::vector<unsigned char> const& bytes;
    size_t at = 0;
    size_t tags = 0;
};

}  // namespace

NbtTag readNbt(std::vector<unsigned char> const& bytes) {
    return NbtReader(bytes).root();
}
