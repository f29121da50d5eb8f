#include "sites/play/play_common.h"

#include "net/inet_request.h"
#include "util/code_page.h"

namespace fw {
Text PostSearchForm(std::string_view searchAddress, std::string_view keyword) {
    const Text body = "wd=" + UrlEncode(keyword, /*keepPlain=*/false, /*toUtf8=*/true);
    return Utf8ToGbk(InetRequest(searchAddress, /*method=*/1, body));  // a text ends at its first zero byte
}

void ListPlayResult(SearchEngine& engine, const PlayResult& result, bool scrollIntoView) {
    ResultList& list = engine.PlayList();
    const std::shared_ptr<std::mutex> runLock = engine.CurrentRunLock();
    std::lock_guard guard(*runLock);
    const int row = list.AppendRow(PlayRowCells(list.RowCount() + 1, result));
    if (scrollIntoView) {
        list.ScrollIntoView(row);
    }
}

}  // namespace fw
