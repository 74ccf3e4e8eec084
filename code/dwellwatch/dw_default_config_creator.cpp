#include "dw_default_config_creator.h"

#include <utility>

#include "config/cgi_pack.h"

JsonAutoPtr DW_DefaultConfigCreator::createTriggersArray(const DefaultValues& defaults) const {
    JsonAutoPtr conditions = CGI_Pack::array("Cannot create the default conditions array");
    CGI_Pack::appendToArray(conditions.get(), CGI_Pack::individualCondition(defaults),
                            "Cannot create the condition for the default profile");
    CGI_Pack::appendToArray(conditions.get(), CGI_Pack::groupCondition(defaults),
                            "Cannot create the group time condition for the default profile");
    JsonAutoPtr area = CGI_Pack::loiteringArea(defaults);
    CGI_Pack::insertInObject(area.get(), std::move(conditions), "conditions",
                             "Cannot add conditions for the loiteringArea");

    JsonAutoPtr triggers = CGI_Pack::array("Cannot create the default triggers array");
    CGI_Pack::appendToArray(
        triggers.get(), std::move(area),
        "Cannot add the default values for the loiteringArea to the triggers array");
    return triggers;
}

JsonAutoPtr DW_DefaultConfigCreator::createFiltersArray(const DefaultValues& defaults) const {
    JsonAutoPtr filters = CGI_Pack::array("Cannot create the default filters array");
    CGI_Pack::appendToArray(filters.get(), CGI_Pack::sizePercentageFilter(defaults),
                            "Cannot add the size percent filter to the filters array");
    CGI_Pack::appendToArray(
        filters.get(), CGI_Pack::swayingFilter(defaults),
        "Cannot add the default values for the swayingFilter to the filters array");
    return filters;
}
