#include "texts/Mnemonics.h"

#include <algorithm>
#include <vector>

namespace {

struct Candidate {
    qsizetype position; // in the caption
    QChar letter;       // folded to lower case: Alt+E and Alt+e are one key
};

// The letters a caption may be reached by, the first letters of its words before the others.
std::vector<Candidate> Candidates(const QString& caption)
{
    std::vector<Candidate> initials, others;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (!caption[i].isLetter())
            continue;
        const bool wordStart = i == 0 || !caption[i - 1].isLetterOrNumber();
        (wordStart ? initials : others).push_back({i, caption[i].toLower()});
    }
    initials.insert(initials.end(), others.begin(), others.end());
    return initials;
}

// Kuhn's augmenting paths: every caption that can have a letter gets one, in the order of the list.
class Matching {
  public:
    explicit Matching(const QStringList& captions) : chosen_(captions.size(), -1)
    {
        for (const QString& caption : captions)
            candidates_.push_back(Candidates(caption));
        for (qsizetype i = 0; i < captions.size(); ++i) {
            std::vector<QChar> visited;
            Serve(i, visited);
        }
    }

    // Index into the caption's candidates, -1 when it has none.
    int Chosen(qsizetype caption) const { return chosen_[caption]; }
    const Candidate& Of(qsizetype caption) const { return candidates_[caption][chosen_[caption]]; }

  private:
    // A free letter first; only when none is left does a holder move on to another of its letters.
    bool Serve(qsizetype caption, std::vector<QChar>& visited)
    {
        const std::vector<Candidate>& candidates = candidates_[caption];
        for (int c = 0; c < int(candidates.size()); ++c) {
            if (Holder(candidates[c].letter) < 0) {
                chosen_[caption] = c;
                return true;
            }
        }
        for (int c = 0; c < int(candidates.size()); ++c) {
            const QChar letter = candidates[c].letter;
            if (std::find(visited.begin(), visited.end(), letter) != visited.end())
                continue;
            visited.push_back(letter);
            const qsizetype holder = Holder(letter);
            if (holder != caption && Serve(holder, visited)) {
                chosen_[caption] = c;
                return true;
            }
        }
        return false;
    }

    qsizetype Holder(QChar letter) const
    {
        for (qsizetype i = 0; i < qsizetype(chosen_.size()); ++i)
            if (chosen_[i] >= 0 && candidates_[i][chosen_[i]].letter == letter)
                return i;
        return -1;
    }

    std::vector<std::vector<Candidate>> candidates_;
    std::vector<int> chosen_;
};

} // namespace

namespace Mnemonics {

QStringList Mark(const QStringList& captions)
{
    const Matching matching(captions);
    QStringList marked;
    for (qsizetype i = 0; i < captions.size(); ++i) {
        QString caption = captions[i];
        const qsizetype at = matching.Chosen(i) >= 0 ? matching.Of(i).position : -1;
        QString result;
        for (qsizetype p = 0; p < caption.size(); ++p) {
            if (p == at)
                result += QLatin1Char('&');
            if (caption[p] == QLatin1Char('&'))
                result += QLatin1Char('&');
            result += caption[p];
        }
        marked << result;
    }
    return marked;
}

QString Plain(const QString& marked)
{
    QString plain;
    for (qsizetype i = 0; i < marked.size(); ++i) {
        if (marked[i] == QLatin1Char('&') && i + 1 < marked.size())
            ++i;
        plain += marked[i];
    }
    return plain;
}

} // namespace Mnemonics
