#pragma once

#include <jansson.h>

#include <memory>

#include "pictor/block_configuration.h"

namespace Pictor {

struct JsonUnref {
    void operator()(json_t* json) const { json_decref(json); }
};
using JsonPtr = std::unique_ptr<json_t, JsonUnref>;

// The configuration a JSON object describes; throws ConfigurationError.
BlockConfiguration configuration_from_json(json_t* object);

}  // namespace Pictor
