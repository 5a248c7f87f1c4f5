#pragma once
// Names in small letters, each with a file's name: the table of a folder's
// listing. The characters of all names are kept one after another in one
// string, and the table is open addressing over them, so that a listing of
// ten thousand files costs no allocation a file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace store {

class FoldedNames {
public:
    void clear();
    bool empty() const { return used_ == 0; }
    // Adds key with file ("" when the file is key + ".txt"); false, changing
    // nothing, when the table holds key.
    bool insert(std::string_view key, std::string_view file);
    // The file of key, or nothing when the table does not hold key.
    std::optional<std::string_view> file(std::string_view key) const;
    bool contains(std::string_view key) const { return find(key) != nullptr; }
    void setFile(std::string_view key, std::string_view file);
    void erase(std::string_view key);

private:
    static constexpr std::uint32_t kFree = UINT32_MAX;
    static constexpr std::uint32_t kErased = UINT32_MAX - 1;
    struct Slot {
        std::uint32_t key = 0;
        std::uint32_t keyLength = kFree;
        std::uint32_t file = 0;
        std::uint32_t fileLength = 0;
    };
    std::string_view text(std::uint32_t offset, std::uint32_t length) const {
        return std::string_view(chars_).substr(offset, length);
    }
    const Slot* find(std::string_view key) const;
    std::uint32_t store(std::string_view chars);
    void grow();

    std::string chars_;
    std::vector<Slot> slots_; // a power of two in size, at most half of it filled
    std::size_t used_ = 0;    // names held
    std::size_t filled_ = 0;  // slots not free: names held and names erased
};

} // namespace store
