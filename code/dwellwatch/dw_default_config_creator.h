#pragma once

#include "config/default_config_creator.h"

// The default profile of this product: a size filter and a swaying filter,
// and a loitering area over nearly the whole image with the individual
// condition active and the group condition inactive.
class DW_DefaultConfigCreator : public DefaultConfigCreator {
  public:
    using DefaultConfigCreator::DefaultConfigCreator;

  protected:
    JsonAutoPtr createTriggersArray(const DefaultValues& defaults) const override;
    JsonAutoPtr createFiltersArray(const DefaultValues& defaults) const override;
};
