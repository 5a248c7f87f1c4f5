#pragma once
// One instance per window class for the whole run, created on first use.

#include <QWidget>

#include <memory>
#include <typeindex>
#include <utility>
#include <vector>

namespace ui {

class Forms {
public:
    template <class T> static T& get() {
        const std::type_index key(typeid(T));
        for (auto& [type, form] : instances())
            if (type == key)
                return static_cast<T&>(*form);
        auto form = std::make_unique<T>();
        T& ref = *form;
        instances().emplace_back(key, std::move(form));
        return ref;
    }

    template <class T> static bool exists() {
        const std::type_index key(typeid(T));
        for (auto& entry : instances())
            if (entry.first == key)
                return true;
        return false;
    }

    // Destroys every form, newest first (at the end of the run, and between tests).
    static void unloadAll();

private:
    static std::vector<std::pair<std::type_index, std::unique_ptr<QWidget>>>& instances();
};

} // namespace ui
