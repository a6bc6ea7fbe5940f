// Built-in secrets shared with the peers (orlo-devserver uses the same values). Kept in one
// place so an operator build can change them together.
#pragma once
#include <string_view>

namespace orlo::secrets {

extern const std::string_view kSharedPhrase;        // 219 characters: server-list cache, key texts
extern const std::string_view kLaunchPhrase;        // 73 characters: classic client start record
extern const std::string_view kProfileOuterPhrase;  // applied last when packing, first when reading
extern const std::string_view kProfileInnerPhrase;
extern const std::string_view kSkinPhrase;
extern const std::string_view kCoderDefaultPassWord;  // 23 characters: message coder start key
extern const std::string_view kListServiceKey;        // 16 characters: list-service request signatures

}  // namespace orlo::secrets
