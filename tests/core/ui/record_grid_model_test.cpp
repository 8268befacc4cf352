// The grid model of the grid windows: rows read from a real record set, each cell type shown and
// edited as a user sees it, rows inserted and removed within the limit, the dirty flag, and the
// drop-down editor writing its choice back.

#include "core/grid_columns.h"
#include "core/ui/drop_down_delegate.h"
#include "core/ui/record_grid_model.h"
#include "platform/base/error.h"
#include "platform/db/connection.h"
#include "platform/db/reader.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace kemnoa;
using core::CellType;
using core::GridColumn;
using core::RecordGridModel;

namespace {

std::vector<GridColumn> sizeColumns() {
    return {
        {QStringLiteral("選択"), QStringLiteral("SEL"), 30, CellType::Tick, true},
        {QStringLiteral("サイズ"), QStringLiteral("size_value"), 120, CellType::Text, true,
         QStringLiteral("sizes")},
        {QStringLiteral("順"), QStringLiteral("sort_lv"), 50, CellType::Number, true},
        {QStringLiteral("日付"), QStringLiteral("KIBO_DATE"), 90, CellType::Date},
        {QStringLiteral("メモ"), QString(), 60},
    };
}

} // namespace

class TestRecordGridModel : public QObject {
    Q_OBJECT

    // A model over the rows of a real SQLite record set.
    std::unique_ptr<RecordGridModel> loaded() {
        auto model = std::make_unique<RecordGridModel>(sizeColumns());
        db::Reader r = connection_.read(
            QStringLiteral("Select SEL, size_value, sort_lv, KIBO_DATE From grid Order By size_value Desc"));
        model->setRows(core::loadGridRows(r, model->columns()));
        return model;
    }

    QTemporaryDir dir_;
    db::Connection connection_;

private Q_SLOTS:
    void initTestCase() {
        db::ConnectionSettings s;
        s.provider = QStringLiteral("SQLite");
        s.database = dir_.filePath(QStringLiteral("grid.db"));
        s.createIfMissing = true;
        connection_.open(s);
        connection_.execute(QStringLiteral("Create Table grid (SEL Varchar(1), size_value Varchar(10), "
                                           "sort_lv Integer, KIBO_DATE Varchar(8))"));
        connection_.execute(QStringLiteral("Insert Into grid Values ('0', 'S', 10, '20240220')"));
        connection_.execute(QStringLiteral("Insert Into grid Values (Null, 'M', 20, 'soon')"));
        connection_.execute(QStringLiteral("Insert Into grid Values ('1', 'L', Null, '')"));
    }

    void cellsShowTheirTypes() {
        auto m = loaded();
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(m->columnCount(), 5);
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("サイズ"));
        // Ticks: ticked for anything other than "0", Null included; no text of their own.
        QCOMPARE(m->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(m->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(m->index(2, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(!m->index(0, 0).data().isValid());
        // Numbers right-aligned, Null kept apart from 0.
        QCOMPARE(m->index(1, 2).data().toInt(), 20);
        QCOMPARE(m->index(1, 2).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
        QVERIFY(m->index(2, 2).data(Qt::EditRole).isNull());
        // Dates yyyymmdd shown as yyyy/mm/dd; other text as it is.
        QCOMPARE(m->index(0, 3).data().toString(), QStringLiteral("2024/02/20"));
        QCOMPARE(m->index(1, 3).data().toString(), QStringLiteral("soon"));
        QCOMPARE(m->index(0, 3).data(Qt::EditRole).toString(), QStringLiteral("20240220"));
        // A column without a source is Null.
        QVERIFY(!m->index(0, 4).data(Qt::EditRole).isValid());
        QCOMPARE(m->value(2, QStringLiteral("SIZE_VALUE")).toString(), QStringLiteral("L"));
        QVERIFY(!m->isDirty());
    }

    void editsFollowTheColumnTypeAndMarkTheGridDirty() {
        auto m = loaded();
        QSignalSpy dirty(m.get(), &RecordGridModel::dirtyChanged);
        QVERIFY(m->flags(m->index(0, 0)) & Qt::ItemIsUserCheckable);
        QVERIFY(!(m->flags(m->index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);
        QVERIFY(!(m->flags(m->index(0, 3)) & Qt::ItemIsEditable));

        struct Edit {
            const char* name;
            int row, column, role;
            QVariant value;
            bool accepted;
            QVariant stored;
        };
        const std::vector<Edit> edits = {
            {"read-only column", 0, 3, Qt::EditRole, QStringLiteral("20250101"), false,
             QStringLiteral("20240220")},
            {"number", 0, 2, Qt::EditRole, QStringLiteral(" 15 "), true, qint64(15)},
            {"not a number", 0, 2, Qt::EditRole, QStringLiteral("15a"), false, qint64(15)},
            {"empty number is Null", 1, 2, Qt::EditRole, QString(), true, QVariant()},
            {"tick by check box", 0, 0, Qt::CheckStateRole, int(Qt::Checked), true, QStringLiteral("1")},
            {"tick by value", 2, 0, Qt::EditRole, QStringLiteral("0"), true, QStringLiteral("0")},
            {"text with an apostrophe", 1, 1, Qt::EditRole, QStringLiteral("O'Neil"), true,
             QStringLiteral("O'Neil")},
        };
        for (const Edit& e : edits) {
            const QModelIndex i = m->index(e.row, e.column);
            QCOMPARE(m->setData(i, e.value, e.role), e.accepted);
            QCOMPARE(i.data(Qt::EditRole), e.stored);
        }
        QVERIFY(m->isDirty());
        QCOMPARE(dirty.count(), 1);
        m->setClean();
        QVERIFY(!m->isDirty());
        QCOMPARE(dirty.count(), 2);
        // Loading rows afresh leaves the grid clean.
        QVERIFY(m->setData(m->index(0, 1), QStringLiteral("XS")));
        m->setRows({});
        QVERIFY(!m->isDirty());
    }

    void rowsAreInsertedWithinTheLimitAndRemoved() {
        auto m = loaded();
        m->setRowLimit(4);
        QVERIFY(m->insertRows(1, 1));
        QCOMPARE(m->rowCount(), 4);
        QVERIFY(m->isDirty());
        QCOMPARE(m->index(1, 0).data(Qt::EditRole).toString(), QStringLiteral("0")); // a new tick is off
        QVERIFY(!m->index(1, 1).data(Qt::EditRole).isValid());
        QCOMPARE(m->index(2, 1).data().toString(), QStringLiteral("M"));
        QVERIFY(!m->insertRows(4, 1)); // beyond the grid's limit
        QVERIFY(!m->insertRows(9, 1));
        QVERIFY(m->removeRows(0, 2));
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("M"));
        QVERIFY(!m->removeRows(1, 2));
    }

    void dropDownColumnEditsThroughItsList() {
        auto m = loaded();
        QVERIFY(!m->index(0, 1).data(RecordGridModel::DropDownRole).isValid() ||
                m->index(0, 1).data(RecordGridModel::DropDownRole).toStringList().isEmpty());
        m->setDropDownList(QStringLiteral("sizes"),
                           {QStringLiteral("S"), QStringLiteral("M"), QStringLiteral("L")});
        QCOMPARE(m->dropDownList(1),
                 (QStringList{QStringLiteral("S"), QStringLiteral("M"), QStringLiteral("L")}));
        QVERIFY(!m->index(0, 2).data(RecordGridModel::DropDownRole).isValid());

        QTableView view;
        core::showInGrid(&view, m.get());
        QCOMPARE(view.columnWidth(1), 120);
        auto* delegate = qobject_cast<core::DropDownDelegate*>(view.itemDelegateForColumn(1));
        QVERIFY(delegate);
        const QModelIndex cell = m->index(1, 1);
        std::unique_ptr<QWidget> editor(
            delegate->createEditor(view.viewport(), QStyleOptionViewItem(), cell));
        auto* combo = qobject_cast<QComboBox*>(editor.get());
        QVERIFY(combo);
        QCOMPARE(combo->count(), 3);
        delegate->setEditorData(combo, cell);
        QCOMPARE(combo->currentText(), QStringLiteral("M"));
        combo->setCurrentIndex(2);
        delegate->setModelData(combo, m.get(), cell);
        QCOMPARE(cell.data().toString(), QStringLiteral("L"));
        QVERIFY(m->isDirty());

        // A value that is not in the list stays selectable instead of being replaced.
        QVERIFY(m->setData(m->index(0, 1), QStringLiteral("3L")));
        delegate->setEditorData(combo, m->index(0, 1));
        QCOMPARE(combo->currentText(), QStringLiteral("3L"));
    }

    void readOnlyGridIsNotEditableInTheView() {
        RecordGridModel m({{QStringLiteral("値"), QStringLiteral("v")}});
        QTableView view;
        core::showInGrid(&view, &m);
        QCOMPARE(view.editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void missingSourceColumnIsAnError() {
        db::Reader r = connection_.read(QStringLiteral("Select size_value From grid"));
        QVERIFY_THROWS_EXCEPTION(kemnoa::Error, core::loadGridRows(r, sizeColumns()));
    }
};

QTEST_MAIN(TestRecordGridModel)
#include "record_grid_model_test.moc"
