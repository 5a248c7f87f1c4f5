#include "store/FoldedNames.h"

#include <algorithm>
#include <functional>

namespace store {

namespace {
std::size_t hashOf(std::string_view key) {
    return std::hash<std::string_view>()(key);
}
} // namespace

void FoldedNames::clear() {
    chars_.clear();
    slots_.assign(slots_.empty() ? 1024 : slots_.size(), Slot());
    used_ = 0;
    filled_ = 0;
}

const FoldedNames::Slot* FoldedNames::find(std::string_view key) const {
    if (slots_.empty())
        return nullptr;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hashOf(key) & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.keyLength == kFree)
            return nullptr;
        if (slot.keyLength != kErased && text(slot.key, slot.keyLength) == key)
            return &slot;
    }
}

std::uint32_t FoldedNames::store(std::string_view chars) {
    const auto offset = std::uint32_t(chars_.size());
    chars_.append(chars);
    return offset;
}

bool FoldedNames::insert(std::string_view key, std::string_view file) {
    if (contains(key))
        return false;
    if ((filled_ + 1) * 2 > slots_.size())
        grow();
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hashOf(key) & mask;
    while (slots_[i].keyLength != kFree)
        i = (i + 1) & mask;
    slots_[i] =
        Slot{store(key), std::uint32_t(key.size()), store(file), std::uint32_t(file.size())};
    ++used_;
    ++filled_;
    return true;
}

std::optional<std::string_view> FoldedNames::file(std::string_view key) const {
    const Slot* slot = find(key);
    if (!slot)
        return std::nullopt;
    return text(slot->file, slot->fileLength);
}

void FoldedNames::setFile(std::string_view key, std::string_view file) {
    if (Slot* slot = const_cast<Slot*>(find(key))) {
        slot->file = store(file);
        slot->fileLength = std::uint32_t(file.size());
    }
}

void FoldedNames::erase(std::string_view key) {
    if (Slot* slot = const_cast<Slot*>(find(key))) {
        slot->keyLength = kErased;
        --used_;
    }
}

void FoldedNames::grow() {
    // Twice the size, or the same when erased names make up the room.
    std::vector<Slot> old(
        std::max<std::size_t>(used_ * 4 > slots_.size() ? slots_.size() * 2 : slots_.size(), 1024));
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.keyLength == kFree || slot.keyLength == kErased)
            continue;
        std::size_t i = hashOf(text(slot.key, slot.keyLength)) & mask;
        while (slots_[i].keyLength != kFree)
            i = (i + 1) & mask;
        slots_[i] = slot;
    }
    filled_ = used_;
}

} // namespace store
