#include "codec/secrets.h"

// orlo-devserver carries the same values; change them together.
namespace orlo::secrets {

const std::string_view kSharedPhrase =
    "77CC589D-AE2D-4297-A514-91486EEE565A-5FC4970B-9622-415B-822B-5E5BDB4200B2-165C075E-5F26-41C9-BA4A-"
    "E553D7E77C44-27F6246B-EA79-45EC-8574-0E7C820029C7-D5F74BDD-E5DC-44B0-951D-E901F3F47E32-2ED6F328-B983-4C49-"
    "8B03-9C2F7594FF";
const std::string_view kLaunchPhrase = "7B1E5A93-C4D2-4F80-9A6E-31D7B0C2E5F4-0C8F2D61-B3A7-4B19-8D5C-6A2F9E4B7103";
const std::string_view kProfileOuterPhrase = "A71D94F2-6C3B-4E58-9D17-2F6E0B83C5AA";
const std::string_view kProfileInnerPhrase = "D3E0B6C9-27A4-4B96-B1E2-90C7A5F3D408";
const std::string_view kSkinPhrase = "E7A2C950-1B3D-4F68-8C24-5D9B0E6A7F13";
const std::string_view kCoderDefaultPassWord = "vK7#qR2m!Lx9@Tz4&Wn8$Hd";
const std::string_view kListServiceKey = "Gd8vQk3TzLw6YpJa";

}  // namespace orlo::secrets
