#include "sites/magnet/search_magnet_page.h"

#include "net/read_url.h"
#include "util/text_markers.h"
#include "util/text_primitives.h"

namespace fw {
namespace {

const Text& EntryOrEmpty(const TextList& list, std::size_t i) {
    static const Text empty;
    return i < list.size() ? list[i] : empty;
}

}  // namespace

std::vector<MagnetResult> ParseMagnetPage(const MagnetSiteProfile& profile, std::string_view pageText) {
    std::array<TextList, kMagnetFieldCount> lists;
    for (int field = 0; field < kMagnetFieldCount; ++field) {
        const FieldMarkers& markers = profile.fields[static_cast<std::size_t>(field)];
        ExtractAllBetween(pageText, markers.left, markers.right, lists[static_cast<std::size_t>(field)]);
    }
    auto clean = [&](MagnetField field, std::size_t i) {
        const auto index = static_cast<std::size_t>(field);
        return CleanField(EntryOrEmpty(lists[index], i), profile.fields[index].cleaning);
    };
    const TextList& names = lists[static_cast<std::size_t>(MagnetField::Name)];
    std::vector<MagnetResult> results;
    results.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        results.push_back(MagnetResult{
            clean(MagnetField::Name, i),
            clean(MagnetField::Link, i),
            profile.label,
            clean(MagnetField::Size, i),
            clean(MagnetField::Popularity, i),
            clean(MagnetField::Date, i),
        });
    }
    return results;
}

void ListMagnetResult(SearchEngine& engine, const RunContext& run, const MagnetResult& result) {
    const SettingsView& settings = engine.Settings();
    ResultList& list = engine.MagnetList();
    const std::shared_ptr<std::mutex> runLock = engine.CurrentRunLock();
    std::lock_guard guard(*runLock);
    if (settings.IsChecked(CheckBox::FilterLinks) && list.FindRow(kMagnetLinkColumn, result.link) >= 0) {
        engine.CountFilteredLink();
        return;
    }
    if (settings.IsChecked(CheckBox::ExactMatch) && FindText(result.name, run.keyword) == -1) {
        engine.CountFilteredResource();
        return;
    }
    const int row = list.AppendRow(MagnetRowCells(list.RowCount() + 1, result));
    if (settings.IsChecked(CheckBox::KeepNewestInView)) {
        list.ScrollIntoView(row);
    }
}

void SearchMagnetPage(SearchEngine& engine, const RunContext& run, const MagnetSiteProfile& profile,
                      int page) {
    std::atomic<bool>& siteDone = run.siteDone[static_cast<std::size_t>(profile.site)];
    if (!siteDone.load()) {
        const Text address =
            MagnetPageAddress(profile, engine.Addresses().*profile.baseAddress, run.keyword, page);
        const std::vector<MagnetResult> results = ParseMagnetPage(profile, ReadPageText(address));
        if (results.empty()) {
            siteDone.store(true);
        }
        for (const MagnetResult& result : results) {
            ListMagnetResult(engine, run, result);
        }
    }
    engine.RefreshStatusSummary();
}

void SearchMagnetSite(SearchEngine& engine, const RunContext& run, MagnetSite site, int page) {
    SearchMagnetPage(engine, run, ProfileOf(site), page);
}

void SearchBtrabbit(SearchEngine& engine, const RunContext& run, int page) {
    SearchMagnetSite(engine, run, MagnetSite::Btrabbit, page);
}
void SearchZzs(SearchEngine& engine, const RunContext& run, int page) {
    SearchMagnetSite(engine, run, MagnetSite::Zzs, page);
}
void SearchDss(SearchEngine& engine, const RunContext& run, int page) {
    SearchMagnetSite(engine, run, MagnetSite::Dss, page);
}
void SearchBtbook(SearchEngine& engine, const RunContext& run, int page) {
    SearchMagnetSite(engine, run, MagnetSite::Btbook, page);
}

}  // namespace fw
