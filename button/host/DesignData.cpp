#include "button/host/DesignData.h"

#include <QFile>
#include <QStringView>
#include <optional>

#include "platform/core/RuntimeError.h"
#include "platform/picture/DesignFont.h"

namespace tallyline {
namespace {

constexpr double kSmallestPoints = 1;
constexpr double kLargestPoints = 2160;
constexpr int kLightestWeight = 1;
constexpr int kHeaviestWeight = 1000;

bool IsNameStart(QChar c) { return c == u'_' || (c.isLetter() && c.unicode() < 128); }
bool IsNameChar(QChar c) { return IsNameStart(c) || (c.isDigit() && c.unicode() < 128); }

// Reads one line from left to right; every failure names where it happened.
class LineReader {
public:
    LineReader(QStringView line, int number) : line_(line), number_(number) {}

    [[noreturn]] void Fail(const QString& what) const {
        QString message = QStringLiteral("Invalid file format: line %1").arg(number_);
        if (!key_.isEmpty()) message += QStringLiteral(", \"%1\"").arg(key_);
        message += QStringLiteral(": ") + what;
        throw RuntimeError(ErrorNumber::InvalidFileFormat, message.toStdString());
    }

    void NameKey(const QString& key) { key_ = key; }

    void SkipBlanks() {
        while (at_ < line_.size() && line_[at_].isSpace()) ++at_;
    }
    bool AtEnd() {
        SkipBlanks();
        return at_ >= line_.size();
    }
    bool Accept(QChar c) {
        SkipBlanks();
        if (at_ < line_.size() && line_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    void Expect(QChar c) {
        if (!Accept(c)) Fail(QStringLiteral("expected '%1'").arg(c));
    }
    void ExpectEnd() {
        if (!AtEnd()) Fail(QStringLiteral("unexpected text after the value"));
    }

    std::optional<QString> Name() {
        SkipBlanks();
        if (at_ >= line_.size() || !IsNameStart(line_[at_])) return std::nullopt;
        const qsizetype start = at_;
        while (at_ < line_.size() && IsNameChar(line_[at_])) ++at_;
        return line_.mid(start, at_ - start).toString();
    }

    QString Text() {
        Expect(u'"');
        QString text;
        while (at_ < line_.size()) {
            const QChar c = line_[at_++];
            if (c == u'"') return text;
            if (c != u'\\') {
                text += c;
                continue;
            }
            if (at_ >= line_.size()) break;
            switch (line_[at_++].unicode()) {
            case u'"': text += u'"'; break;
            case u'\\': text += u'\\'; break;
            case u'n': text += u'\n'; break;
            case u't': text += u'\t'; break;
            default: Fail(QStringLiteral("unknown escape in text"));
            }
        }
        Fail(QStringLiteral("text without its closing quote"));
    }

    // A decimal number: an optional minus, digits, optionally a point and digits.
    double Number() {
        SkipBlanks();
        const qsizetype start = at_;
        if (at_ < line_.size() && line_[at_] == u'-') ++at_;
        while (at_ < line_.size() && (line_[at_].isDigit() || line_[at_] == u'.')) ++at_;
        bool ok = false;
        const double number = line_.mid(start, at_ - start).toDouble(&ok);
        if (!ok) Fail(QStringLiteral("expected a number"));
        return number;
    }

    std::int32_t Integer() {
        SkipBlanks();
        const qsizetype start = at_;
        if (at_ < line_.size() && line_[at_] == u'-') ++at_;
        while (at_ < line_.size() && line_[at_].isDigit() && line_[at_].unicode() < 128) ++at_;
        bool ok = false;
        const int number = line_.mid(start, at_ - start).toInt(&ok);
        if (!ok) Fail(QStringLiteral("expected a whole number from -2147483648 to 2147483647"));
        return number;
    }

    PropertyValue Value() {
        SkipBlanks();
        if (at_ < line_.size() && line_[at_] == u'"') return Text();
        if (at_ < line_.size() && IsNameStart(line_[at_])) {
            const QString word = *Name();
            if (word.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
            if (word.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
            if (word.compare(QLatin1String("Font"), Qt::CaseInsensitive) == 0) return Font();
            Fail(QStringLiteral("unknown value \"%1\"").arg(word));
        }
        return Integer();
    }

private:
    QFont Font() {
        Expect(u'(');
        const QString family = Text();
        Expect(u',');
        const double points = Number();
        Expect(u',');
        const std::int32_t weight = Integer();
        Expect(u')');
        if (family.trimmed().isEmpty()) Fail(QStringLiteral("a font needs a family"));
        if (!(points >= kSmallestPoints && points <= kLargestPoints)) Fail(QStringLiteral("font size out of range"));
        if (weight < kLightestWeight || weight > kHeaviestWeight) Fail(QStringLiteral("font weight out of range"));
        return DesignFont(family, points, weight);
    }

    QStringView line_;
    int number_;
    qsizetype at_ = 0;
    QString key_;
};

}  // namespace

const PropertyBag* DesignData::Find(const QString& instanceName) const {
    for (const auto& [name, bag] : instances) {
        if (name.compare(instanceName, Qt::CaseInsensitive) == 0) return &bag;
    }
    return nullptr;
}

DesignData ReadDesignData(QByteArrayView utf8) {
    DesignData data;
    const QString text = QString::fromUtf8(utf8);
    int number = 0;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        LineReader reader(line, ++number);
        if (reader.AtEnd() || reader.Accept(u'#')) continue;
        if (reader.Accept(u'[')) {
            const auto name = reader.Name();
            if (!name) reader.Fail(QStringLiteral("expected an instance name"));
            reader.Expect(u']');
            reader.ExpectEnd();
            if (data.Find(*name) != nullptr) reader.Fail(QStringLiteral("instance \"%1\" given twice").arg(*name));
            data.instances.emplace_back(*name, PropertyBag());
            continue;
        }
        const auto key = reader.Name();
        if (!key) reader.Fail(QStringLiteral("expected a key or an [instance]"));
        reader.NameKey(*key);
        if (data.instances.empty()) reader.Fail(QStringLiteral("entry before any [instance]"));
        PropertyBag& bag = data.instances.back().second;
        if (bag.Contains(*key)) reader.Fail(QStringLiteral("key given twice"));
        reader.Expect(u'=');
        PropertyValue value = reader.Value();
        reader.ExpectEnd();
        bag.Store(*key, std::move(value));
    }
    return data;
}

DesignData ReadDesignDataFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw RuntimeError(ErrorNumber::FileNotFound,
                           std::string(StandardDescription(ErrorNumber::FileNotFound)) + ": " + path.toStdString());
    }
    return ReadDesignData(file.readAll());
}

}  // namespace tallyline
