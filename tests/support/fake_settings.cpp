#include "support/fake_settings.h"

namespace fw::test {

FakeSettings::FakeSettings() {
    SetNumber(NumberBox::Pages, 10);
    SetNumber(NumberBox::Threads, 5);
    SetNumber(NumberBox::Interval, 100);
    for (const CheckBox box : {CheckBox::ExactMatch, CheckBox::FilterLinks, CheckBox::Btrabbit, CheckBox::Dss,
                               CheckBox::Btbook, CheckBox::Play7dds, CheckBox::PlayLexiang}) {
        SetChecked(box, true);
    }
    SetChecked(CheckBox::KeepNewestInView, false);
    SetChecked(CheckBox::Zzs, false);
}

void FakeSettings::UncheckAllSites() {
    for (const CheckBox box : {CheckBox::Btrabbit, CheckBox::Zzs, CheckBox::Dss, CheckBox::Btbook,
                               CheckBox::Play7dds, CheckBox::PlayLexiang}) {
        SetChecked(box, false);
    }
}

}  // namespace fw::test
