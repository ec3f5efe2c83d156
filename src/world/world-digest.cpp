#include "world-digest.h"

#include "aabox.h"

namespace {

constexpr uint64_t FNV_PRIME = 1099511628211u;

}  // namespace

uint64_t digestOf(uint64_t digest, void const* data, size_t size) {
    for (size_t i = 0; i < size; ++i) digest = (digest ^ static_cast<unsigned char const*>(data)[i]) * FNV_PRIME;
    return digest;
}

namespace {

// A box's colour is part of the world; of other entities, their box.
class ColorDigest : public EntityVisitor {
public:
    explicit ColorDigest(uint64_t& digest) : digest(digest) {}
    void visitBox(AABox const& box) override { digest = digestOf(digest, &box.color, sizeof box.color); }

private:
    uint64_t& digest;
};

}  // namespace

uint64_t worldDigest(Intersector const& index) {
    uint64_t digest = DIGEST_START;
    ColorDigest colors(digest);
    for (auto const& entity : index.entityList()) {
        digest = digestOf(digest, &entity->getAABB(), sizeof(AABB));
        entity->accept(colors);
    }
    return digest;
}
