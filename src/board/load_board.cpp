#include "board/load_board.h"

#include "net/read_url.h"
#include "util/code_page.h"
#include "util/regex_object.h"
#include "util/text_markers.h"
#include "util/text_primitives.h"

namespace fw {
namespace {

// A cast longer than this is cut to its first name (when it names several).
constexpr std::size_t kLongCastBytes = 24;

}  // namespace

Text CleanCast(std::string_view castText) {
    Text cast = ReplaceMany(TextRightOfLast(castText, Utf8ToGbk("主演：")), " ", "");
    if (cast.empty()) {
        return Utf8ToGbk("无");
    }
    if (cast.size() > kLongCastBytes && FindText(cast, ",") != -1) {
        return TextLeftOf(cast, ",");
    }
    return cast;
}

int SlotOfEntry(int entry) {
    if (entry >= 1 && entry <= 5) {
        return entry;
    }
    if (entry >= 6 && entry <= 10) {
        return entry + 1;
    }
    return 0;
}

std::vector<BoardMovie> ParseBoardPage(std::string_view pageText) {
    RegexObject names;
    RegexObject posters;
    RegexObject releases;
    RegexObject scores;
    const Text releaseMarker = Utf8ToGbk("上映时间：");
    names.Execute("title=\".*\" class=\"", pageText);
    posters.Execute("data-src=\".*\" alt", pageText);
    releases.Execute(releaseMarker + ".*</p>", pageText);
    scores.Execute("integer\">.*</i></p>  ", pageText);
    TextList castList;
    ExtractAllBetween(pageText, "star\">", "</p>", castList);

    // The fields are matched up by position only: the name pattern alone decides how many entries
    // there are, and a shorter list leaves its field empty for the entries it does not reach.
    const int count = names.MatchCount();
    std::vector<BoardMovie> movies;
    movies.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        const Text score = scores.MatchText(i);
        const auto castIndex = static_cast<std::size_t>(i - 1);
        movies.push_back(BoardMovie{
            TextBetween(names.MatchText(i), "title=\"", "\" class="),
            TextBetween(posters.MatchText(i), "data-src=\"", "\" alt"),
            releaseMarker + TextBetween(releases.MatchText(i), releaseMarker, "</p>"),
            TextBetween(score, "integer\">", "</i><i") + TextBetween(score, "fraction\">", "</i></p>"),
            // An entry beyond the cast list is shown as naming nobody.
            CleanCast(castIndex < castList.size() ? std::string_view(castList[castIndex])
                                                  : std::string_view()),
        });
    }
    return movies;
}

void LoadBoard(std::string_view boardAddress, PosterSlots& slots) {
    const std::vector<BoardMovie> movies = ParseBoardPage(ReadPageText(boardAddress));
    for (std::size_t i = 0; i < movies.size(); ++i) {
        const int slot = SlotOfEntry(static_cast<int>(i) + 1);
        if (slot == 0) {
            continue;
        }
        const BoardMovie& movie = movies[i];
        // An empty address would only make a request that cannot succeed.
        slots.SetPicture(slot, movie.posterAddress.empty() ? Bytes() : ReadUrl(movie.posterAddress));
        slots.SetLabel(slot, PosterLabel::Name, movie.name);
        slots.SetLabel(slot, PosterLabel::ReleaseLine, movie.releaseLine);
        slots.SetLabel(slot, PosterLabel::Score, movie.score);
        slots.SetLabel(slot, PosterLabel::Cast, movie.cast);
    }
}

}  // namespace fw
