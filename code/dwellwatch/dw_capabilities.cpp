#include "dw_capabilities.h"

#include <utility>

#include "config/cgi_pack.h"

JsonAutoPtr DW_Capabilities::createDefaultFilters(const DataBoundaries& boundaries,
                                                  const DefaultValues& defaults) {
    JsonAutoPtr filters = CGI_Pack::array("Cannot create the default filters array");
    CGI_Pack::appendToArray(
        filters.get(), CGI_Pack::sizePercentageFilter(boundaries, defaults),
        "Cannot add the default values for the sizePercentageFilter to the filters array");
    CGI_Pack::appendToArray(
        filters.get(), CGI_Pack::swayingFilter(boundaries, defaults),
        "Cannot add the default values for the swayingFilter to the filters array");
    CGI_Pack::appendToArray(
        filters.get(), CGI_Pack::excludeArea(boundaries, defaults),
        "Cannot add the default values for the exclude area to the filters array");
    return filters;
}

JsonAutoPtr DW_Capabilities::createDefaultTriggers(const DataBoundaries& boundaries,
                                                   const DefaultValues& defaults) {
    JsonAutoPtr conditions =
        CGI_Pack::array("Cannot create the default values for the condition array");
    CGI_Pack::appendToArray(conditions.get(), CGI_Pack::individualCondition(boundaries, defaults),
                            "Cannot add individualTimeInAreaCondition the conditions array");
    CGI_Pack::appendToArray(conditions.get(), CGI_Pack::groupCondition(boundaries, defaults),
                            "Cannot add groupTimeInAreaCondition the conditions array");
    JsonAutoPtr area = CGI_Pack::loiteringArea(boundaries, defaults);
    CGI_Pack::insertInObject(area.get(), std::move(conditions), "conditions",
                             "Cannot add conditions for the loitering area");

    JsonAutoPtr triggers = CGI_Pack::array("Cannot create the default triggers array");
    CGI_Pack::appendToArray(
        triggers.get(), std::move(area),
        "Cannot add the default values for the loitering area to the triggers array");
    return triggers;
}
