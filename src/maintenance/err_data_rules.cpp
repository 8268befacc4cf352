#include "maintenance/err_data_rules.h"

#include <QDate>
#include <cmath>
#include <optional>

namespace kemnoa::maintenance {
namespace {

bool isNull(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

QString text(const QVariantMap& row, const char* column) {
    const QVariant v = row.value(QString::fromLatin1(column));
    if (isNull(v))
        return QString();
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d == std::trunc(d) && std::fabs(d) < 1e15)
            return QString::number(static_cast<qint64>(d));
    }
    return v.toString();
}

// A quantity as a number; nothing for Null or text that is no number.
std::optional<double> number(const QVariantMap& row, const QString& column) {
    const QVariant v = row.value(column);
    if (isNull(v))
        return std::nullopt;
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

QString numberText(double d) {
    return d == std::trunc(d) ? QString::number(static_cast<qint64>(d)) : QString::number(d);
}

class Checker {
public:
    Checker(const OrderSnapshot& order, MasterLookup& masters) : order_(order), masters_(masters) {}

    std::vector<Finding> run() {
        checkHeader();
        checkLabelLines(order_.posLines, QStringLiteral("下札"));
        checkLabelLines(order_.carLines, QStringLiteral("洗濯ネーム"));
        checkAddFuki();
        checkFuzoku();
        return std::move(findings_);
    }

private:
    void add(const QString& title, const QString& value, const QString& message) {
        findings_.push_back({title, value, message});
    }

    static QString where(const QString& kind, const QVariantMap& line) {
        return kind + text(line, "GYOU") + QStringLiteral("行目");
    }

    void checkHeader() {
        const QVariantMap& h = order_.header;
        const QString ordDate = text(h, "ORD_DATE");
        const QString kiboDate = text(h, "KIBO_DATE");
        const bool ordOk = isValidYmd(ordDate);
        const bool kiboOk = isValidYmd(kiboDate);
        if (!ordOk)
            add(QStringLiteral("発注日エラー"), ordDate,
                QStringLiteral(
                    "発注日が正しい日付（yyyymmdd）ではありません。発注日を正しい日付に直してください。"));
        if (!kiboOk)
            add(QStringLiteral("希望納期エラー"), kiboDate,
                QStringLiteral("希望納期が正しい日付（yyyymmdd）ではありません。希望納期を正しい日付に直して"
                               "ください。"));
        else if (ordOk && kiboDate < ordDate)
            add(QStringLiteral("希望納期エラー"), kiboDate,
                QStringLiteral("希望納期が発注日（") + ordDate +
                    QStringLiteral("）より前です。希望納期を直してください。"));

        const QString kessai = text(h, "KESSAI");
        if (kessai != QStringLiteral("日本決済") && kessai != QStringLiteral("中国決済"))
            add(QStringLiteral("決済区分エラー"), kessai,
                QStringLiteral("決済区分は「日本決済」か「中国決済」を指定してください。"));

        const QString nouCd = text(h, "NOU_CD");
        if (nouCd.trimmed().isEmpty()) {
            add(QStringLiteral("納品先エラー"), nouCd,
                QStringLiteral("納品先コードがありません。納品先コードを入力してください。"));
        } else if (!masters_.hasNouhin(nouCd)) {
            add(QStringLiteral("納品先エラー"), nouCd,
                QStringLiteral("納品先コードがPOデータベースの納品先マスタに登録されていません。"
                               "納品先コードを確認してください。"));
        }
        if (order_.posLines.empty() && order_.carLines.empty() && order_.fuzokuLines.empty())
            add(QStringLiteral("明細なしエラー"), QString(),
                QStringLiteral(
                    "発注に明細（下札・洗濯ネーム・付属）が１行もありません。明細を入力してください。"));
    }

    void checkTerms(const QVariantMap& line, const QString& place) {
        for (int k = 1; k <= 8; ++k) {
            const QString col = QStringLiteral("FUKI") + QString::number(k);
            const QString fuki = text(line, col.toLatin1().constData());
            if (!fuki.isEmpty() && !masters_.hasFuki(fuki))
                add(QStringLiteral("付記用語エラー"), fuki,
                    place + QStringLiteral("の付記用語") + QString::number(k) + QStringLiteral("（") + col +
                        QStringLiteral("）が付記用語マスタに登録されていません。"
                                       "付記用語を確認するか、付記用語マスタに登録してください。"));
        }
    }

    void checkLabelLines(const std::vector<QVariantMap>& lines, const QString& kind) {
        for (const QVariantMap& line : lines) {
            const QString place = where(kind, line);
            const auto su = number(line, QStringLiteral("SU"));
            if (!su || *su <= 0)
                add(QStringLiteral("数量エラー"), text(line, "SU"),
                    place + QStringLiteral("の数量が0以下です。1以上の数量を入力してください。"));
            const QString ehj = text(line, "EHJ");
            if (!ehj.isEmpty() && !masters_.hasEhj(ehj))
                add(QStringLiteral("絵表示エラー"), ehj,
                    place + QStringLiteral("の絵表示記号が絵表示マスタに登録されていません。"
                                           "絵表示記号を確認するか、絵表示マスタに登録してください。"));
            checkTerms(line, place);
        }
    }

    void checkAddFuki() {
        for (const QVariantMap& line : order_.addFukiLines)
            checkTerms(line, where(QStringLiteral("追加付記"), line));
    }

    void checkFuzoku() {
        for (const QVariantMap& line : order_.fuzokuLines) {
            const QString place = where(QStringLiteral("付属"), line);
            const QString name = text(line, "NAME_NM");
            const bool nameKnown = !name.isEmpty() && masters_.hasName(name);
            if (!nameKnown)
                add(QStringLiteral("名称エラー"), name,
                    place +
                        QStringLiteral("の名称が名称マスタに登録されていません。名称を確認してください。"));
            const QString sizai = text(line, "SIZAI_CD");
            if (nameKnown && !masters_.hasSizai(name, sizai))
                add(QStringLiteral("資材エラー"), sizai,
                    place + QStringLiteral("の資材コードが名称「") + name +
                        QStringLiteral("」の資材マスタに登録されていません。資材を確認してください。"));

            const auto total = number(line, QStringLiteral("SURYOKEI"));
            if (!total || *total <= 0)
                add(QStringLiteral("数量エラー"), text(line, "SURYOKEI"),
                    place + QStringLiteral("の合計数量が0以下です。1以上の数量を入力してください。"));
            double parts = 0;
            QStringList columns{QStringLiteral("SURYOMUJI")};
            for (int k = 1; k <= 10; ++k)
                columns << QStringLiteral("SURYO") + QString::number(k);
            for (const QString& col : columns) {
                const auto q = number(line, col);
                if (!q)
                    continue;
                if (*q < 0)
                    add(QStringLiteral("数量エラー"), numberText(*q),
                        place + QStringLiteral("の数量（") + col +
                            QStringLiteral("）がマイナスです。数量を直してください。"));
                parts += *q;
            }
            if (total && *total > 0 && std::fabs(*total - parts) > 1e-9)
                add(QStringLiteral("数量合計エラー"),
                    QStringLiteral("合計 ") + numberText(*total) + QStringLiteral(" / 内訳 ") +
                        numberText(parts),
                    place +
                        QStringLiteral(
                            "の合計数量と、ムジ・サイズ別数量の合計が一致しません。数量を直してください。"));
        }
    }

    const OrderSnapshot& order_;
    MasterLookup& masters_;
    std::vector<Finding> findings_;
};

QStringList numbered(const char* prefix, int first, int last) {
    QStringList out;
    for (int k = first; k <= last; ++k)
        out << QString::fromLatin1(prefix) + QString::number(k);
    return out;
}

} // namespace

const QStringList& checkedHeaderColumns() {
    static const QStringList columns{QStringLiteral("ORD_DATE"), QStringLiteral("KIBO_DATE"),
                                     QStringLiteral("KESSAI"), QStringLiteral("NOU_CD")};
    return columns;
}

const QStringList& checkedLabelLineColumns() {
    static const QStringList columns =
        QStringList{QStringLiteral("GYOU"), QStringLiteral("SU"), QStringLiteral("EHJ")} +
        numbered("FUKI", 1, 8);
    return columns;
}

const QStringList& checkedAddFukiColumns() {
    static const QStringList columns = QStringList{QStringLiteral("GYOU")} + numbered("FUKI", 1, 8);
    return columns;
}

const QStringList& checkedFuzokuColumns() {
    static const QStringList columns =
        QStringList{QStringLiteral("GYOU"), QStringLiteral("NAME_NM"), QStringLiteral("SIZAI_CD"),
                    QStringLiteral("SURYOKEI"), QStringLiteral("SURYOMUJI")} +
        numbered("SURYO", 1, 10);
    return columns;
}

bool isValidYmd(const QString& text) {
    if (text.size() != 8)
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return QDate(text.left(4).toInt(), text.mid(4, 2).toInt(), text.right(2).toInt()).isValid();
}

std::vector<Finding> checkOrder(const OrderSnapshot& order, MasterLookup& masters) {
    return Checker(order, masters).run();
}

} // namespace kemnoa::maintenance
