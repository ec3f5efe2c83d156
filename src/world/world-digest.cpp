#include "world-digest.h"

#include "aabox.h"

namespace {

constexpr uint64_t FNV_PRIME = 1099511628211u;

}  // namespace

uint64_t digestOf(uint64_t digest, void const* data, size_t size) {
    for (size_t i = 0; i < size; ++i) digest = (digest ^ static_cast<unsigned char const*>(data)[i]) * FNV_PRIME;
    return digest;
}

uint64_t worldDigest(Intersector const& index) {
    uint64_t digest = DIGEST_START;
    for (auto const& entity : index.entityList()) {
        digest = digestOf(digest, &entity->getAABB(), sizeof(AABB));
        if (auto const* box = dynamic_cast<AABox const*>(entity.get()))
            digest = digestOf(digest, &box->color, sizeof box->color);
    }
    return digest;
}
