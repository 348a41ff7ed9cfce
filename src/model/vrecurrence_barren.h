// Yearly and monthly rules that put no occurrence in any year or month the series
// reaches, such as 30 February. Given one, libical's iterator searches up to the year
// 20000 inside a single call (a tenth of a second or more for each series) before it
// gives up, and nothing outside that call can bound it; so such a rule is recognised
// before the iterator is made.
#pragma once

#include "model/vschedule.h"

#include <libical/ical.h>

// Whether the rule (read by ReadRule) gives no occurrence after the series' first: true
// only for a yearly or monthly rule whose years (months) reached from `first` hold none.
bool NeverRepeats(const icalrecurrencetype& rule, const VWhen& first);
