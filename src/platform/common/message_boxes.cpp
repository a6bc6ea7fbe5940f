#include <mutex>
#include <vector>

#include "platform/backend.h"

namespace orlo::platform {
namespace {

std::mutex g_mutex;
std::vector<RecordedMessageBox>& Boxes() {
    static std::vector<RecordedMessageBox> boxes;
    return boxes;
}

}  // namespace

void backend::RecordMessageBox(std::string_view text, std::string_view caption, MessageIcon icon) {
    std::lock_guard lock(g_mutex);
    Boxes().push_back({std::string(text), std::string(caption), icon});
}

std::vector<RecordedMessageBox> RecordedMessageBoxes() {
    std::lock_guard lock(g_mutex);
    return Boxes();
}

}  // namespace orlo::platform
