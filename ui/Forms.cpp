#include "ui/Forms.h"

namespace ui {

std::vector<std::pair<std::type_index, std::unique_ptr<QWidget>>>& Forms::instances() {
    static std::vector<std::pair<std::type_index, std::unique_ptr<QWidget>>> forms;
    return forms;
}

void Forms::unloadAll() {
    auto& forms = instances();
    while (!forms.empty())
        forms.pop_back();
}

} // namespace ui
