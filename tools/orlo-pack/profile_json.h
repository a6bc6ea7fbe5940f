// The readable profile description: a JSON object whose keys are the record's field names.
#pragma once
#include <nlohmann/json.hpp>

#include "codec/result.h"
#include "core/profile_record.h"

namespace orlo::pack {

nlohmann::ordered_json ProfileToJson(const AExecutableStructure& profile);
// Unknown keys and values of the wrong type are errors; missing keys keep their defaults.
Result<AExecutableStructure> ProfileFromJson(const nlohmann::json& json);
// The description `profile init` writes: every field, with the demo's values.
AExecutableStructure DemoProfile();

}  // namespace orlo::pack
