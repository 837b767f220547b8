#include "texts/Mnemonics.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

struct Candidate {
    qsizetype position; // in the caption
    QChar letter;       // folded to lower case: Alt+E and Alt+e are one key
};

// A caption as it reads, and the place of the letter its text already marks (-1 when none).
struct PlainCaption {
    QString text;
    qsizetype marked = -1;
};

PlainCaption Unmarked(const QString& caption)
{
    PlainCaption plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != QLatin1Char('&') && plain.marked < 0)
                plain.marked = plain.text.size();
        }
        plain.text += caption[i];
    }
    return plain;
}

// The letters a caption may be reached by: the one its text marks, then the first letters of its
// words, then the others.
std::vector<Candidate> Candidates(const PlainCaption& caption)
{
    const QString& text = caption.text;
    std::vector<Candidate> marked, initials, others;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isLetter())
            continue;
        const bool wordStart = i == 0 || !text[i - 1].isLetterOrNumber();
        (i == caption.marked ? marked : wordStart ? initials : others).push_back({i, text[i].toLower()});
    }
    marked.insert(marked.end(), initials.begin(), initials.end());
    marked.insert(marked.end(), others.begin(), others.end());
    return marked;
}

// The most captions from `first` on that can each have a letter of their own, none of them in
// `taken` (Kuhn's augmenting paths).
class FreeMatching {
  public:
    FreeMatching(const std::vector<std::vector<Candidate>>& candidates, qsizetype first,
                 const std::vector<QChar>& taken)
        : candidates_(candidates), taken_(taken)
    {
        for (qsizetype i = first; i < qsizetype(candidates_.size()); ++i) {
            std::vector<QChar> visited;
            if (Serve(i, visited))
                ++size_;
        }
    }

    int Size() const { return size_; }

  private:
    bool Serve(qsizetype caption, std::vector<QChar>& visited)
    {
        for (const Candidate& candidate : candidates_[caption]) {
            const QChar letter = candidate.letter;
            if (Contains(taken_, letter) || Contains(visited, letter))
                continue;
            visited.push_back(letter);
            const auto holder = holders_.find(letter);
            if (holder == holders_.end() || Serve(holder->second, visited)) {
                holders_[letter] = caption;
                return true;
            }
        }
        return false;
    }

    static bool Contains(const std::vector<QChar>& letters, QChar letter)
    {
        return std::find(letters.begin(), letters.end(), letter) != letters.end();
    }

    const std::vector<std::vector<Candidate>>& candidates_;
    const std::vector<QChar>& taken_;
    std::map<QChar, qsizetype> holders_;
    int size_ = 0;
};

// As many captions as possible get a letter, and within that, each caption in turn the best letter
// that still leaves the later ones as many: "Encrypt" keeps its E however many "Clear" buttons follow.
class Matching {
  public:
    explicit Matching(const std::vector<PlainCaption>& captions) : chosen_(captions.size(), -1)
    {
        for (const PlainCaption& caption : captions)
            candidates_.push_back(Candidates(caption));
        std::vector<QChar> taken;
        int served = 0;
        const int most = FreeMatching(candidates_, 0, taken).Size();
        for (qsizetype i = 0; i < qsizetype(candidates_.size()); ++i) {
            for (int c = 0; c < int(candidates_[i].size()); ++c) {
                const QChar letter = candidates_[i][c].letter;
                if (std::find(taken.begin(), taken.end(), letter) != taken.end())
                    continue;
                taken.push_back(letter);
                if (served + 1 + FreeMatching(candidates_, i + 1, taken).Size() == most) {
                    chosen_[i] = c;
                    ++served;
                    break;
                }
                taken.pop_back();
            }
        }
    }

    // Index into the caption's candidates, -1 when it has none.
    int Chosen(qsizetype caption) const { return chosen_[caption]; }
    const Candidate& Of(qsizetype caption) const { return candidates_[caption][chosen_[caption]]; }

  private:
    std::vector<std::vector<Candidate>> candidates_;
    std::vector<int> chosen_;
};

} // namespace

namespace Mnemonics {

QStringList Mark(const QStringList& captions)
{
    std::vector<PlainCaption> plain;
    for (const QString& caption : captions)
        plain.push_back(Unmarked(caption));
    const Matching matching(plain);
    QStringList marked;
    for (qsizetype i = 0; i < captions.size(); ++i) {
        const QString& caption = plain[i].text;
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
