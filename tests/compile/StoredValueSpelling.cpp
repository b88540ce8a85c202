// Compiled twice by the stored_value_spelling test: as it is, it builds;
// with MISSPELT defined it names a stored value that does not exist, and
// must not build.
#include "app/CSettingsTable.h"
#include "settings/CSettingsStore.h"

void WriteTheWheel(CSettingsStore& store, const CSettingsRecord& record)
{
#ifdef MISSPELT
    store.Write(record, {StoredValue::SW_WHEL});
#else
    store.Write(record, {StoredValue::SW_WHEEL});
#endif
}
