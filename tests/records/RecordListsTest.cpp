#include "RecordFixture.h"

#include "records/MeasurementListModel.h"
#include "records/PatientListLogic.h"
#include "records/PatientListModel.h"

#include <QFont>

using namespace qern;
using qern::test::RecordTest;

namespace {

TEST(PatientSortKey, HeaderClicksReverseOrKeepTheDirection)
{
    struct Case {
        int key, column, next;
    };
    for (const Case c : {Case{1, 1, -1}, Case{-1, 1, 1}, Case{1, 0, -1}, Case{-1, 0, 1}, Case{1, 2, 2},
                         Case{-2, 7, -7}, Case{-5, 5, 5}, Case{4, 5, 5}, Case{0, 3, 3}, Case{99, 1, -1}})
        EXPECT_EQ(NextSortKey(c.key, c.column), c.next) << c.key << " clicked " << c.column;
    EXPECT_EQ(PatientOrderColumn(0), QStringLiteral("CustNo"));
    EXPECT_EQ(PatientOrderColumn(5), QStringLiteral("DBirth"));
    EXPECT_EQ(PatientOrderColumn(6), QStringLiteral("PreMea"));
    EXPECT_EQ(PatientOrderColumn(9), QStringLiteral("EMail"));
}

TEST(SearchBox, SetUpBySortColumn)
{
    const double today = 46000.6;
    for (int column = 1; column < PatientColumnCount; ++column) {
        const SearchSetup s = SearchSetupFor(column, today);
        const bool possible = column != 3 && column != 5 && column != 6;
        EXPECT_EQ(s.Enabled, possible) << column;
        EXPECT_EQ(s.Indicator, possible ? SearchIndicator::Ready : SearchIndicator::NotPossible) << column;
        EXPECT_EQ(s.HintVisible, column == 4) << column;
    }
    EXPECT_EQ(SearchSetupFor(4, today).Hint, QStringLiteral("Example: ") + ShortDate(41000));
    // The example is itself a searchable date.
    EXPECT_EQ(ParseShortDate(ShortDate(41000), today), 41000.0);
    EXPECT_FALSE(ParseShortDate(QStringLiteral("not a date"), today));
    EXPECT_FALSE(ParseShortDate(QStringLiteral("  "), today));
}

TEST(ListCells, PatientColumns)
{
    const double today = 45000.5;
    Patient p;
    p.Number = QStringLiteral("A-1");
    p.Male = false;
    p.BirthDate = 4001;
    p.LatestMeasurement = 44000.25;
    EXPECT_EQ(PatientCellText(p, PatientIndex, 6, today), QStringLiteral("7"));
    EXPECT_EQ(PatientCellText(p, PatientGender, 0, today), QStringLiteral("Female"));
    EXPECT_EQ(PatientCellColour(p, PatientGender), QColor(255, 0, 0));
    EXPECT_EQ(PatientCellColour(p, PatientName), QColor(0, 0, 0));
    EXPECT_EQ(PatientCellText(p, PatientBirth, 0, today), ShortDate(4001));
    EXPECT_EQ(PatientCellText(p, PatientAge, 0, today), QStringLiteral("112.3")) << "(45000.5 - 4001) / 365";
    EXPECT_EQ(PatientCellText(p, PatientLatest, 0, today), ShortDate(44000.25) + " " + LongTime(44000.25));

    p.Male = true;
    p.BirthDate = 4000; // 13 December 1910: not entered
    p.LatestMeasurement = 0;
    EXPECT_EQ(PatientCellColour(p, PatientGender), QColor(0, 128, 0));
    EXPECT_EQ(PatientCellText(p, PatientGender, 0, today), QStringLiteral("Male"));
    for (int column : {PatientBirth, PatientAge, PatientLatest})
        EXPECT_TRUE(PatientCellText(p, column, 0, today).isEmpty()) << column;
}

TEST(ListCells, MeasurementColumns)
{
    Measurement m;
    m.DateTime = 45000.75;
    for (int k = 1; k <= PointCount; ++k)
        m.Raw[k] = k <= 12 ? 48.0 : 0.0;
    m.Raw[3] = 52.04;
    m.HighPotential = true;
    EXPECT_EQ(MeasurementCellText(m, MeasurementEnergy, 0, 20000), QStringLiteral("24.2"))
        << "the mean of all 24, unmeasured points as 0: (11 x 48 + 52.04) / 24";
    EXPECT_EQ(MeasurementCellText(m, MeasurementAge, 0, 20000.75), QStringLiteral("68.5"));
    EXPECT_TRUE(MeasurementCellText(m, MeasurementAge, 0, 3999).isEmpty());
    EXPECT_EQ(MeasurementCellText(m, MeasurementPotential, 0, 0), QStringLiteral("HI"));
    EXPECT_EQ(MeasurementCellColour(m, MeasurementPotential), QColor(255, 0, 0));
    EXPECT_EQ(MeasurementCellColour(m, MeasurementEnergy), QColor(0, 0, 255));
    EXPECT_EQ(MeasurementCellText(m, MeasurementFirstValue + 2, 0, 0), QStringLiteral("52"));
    EXPECT_TRUE(MeasurementCellText(m, MeasurementFirstValue + 20, 0, 0).isEmpty()) << "0: no value";
    m.HighPotential = false;
    EXPECT_EQ(MeasurementCellText(m, MeasurementPotential, 0, 0), QStringLiteral("NRM"));
    EXPECT_EQ(MeasurementCellColour(m, MeasurementPotential), QColor(0, 128, 0));

    m.DateTime = 0; // manual entry without a date
    EXPECT_TRUE(MeasurementCellText(m, MeasurementDate, 0, 20000).isEmpty());
    EXPECT_TRUE(MeasurementCellText(m, MeasurementAge, 0, 20000).isEmpty());

    struct Format {
        double value;
        const char* text;
    };
    for (const Format f : {Format{0, ""}, Format{0.04, ""}, Format{0.5, ".5"}, Format{52, "52"}, Format{52.04, "52"},
                           Format{199.96, "200"}, Format{123.4, "123.4"}, Format{-3.2, "-3.2"}})
        EXPECT_EQ(HashFormat(f.value), QLatin1String(f.text)) << f.value;

    QStringList headers;
    QList<int> marked;
    for (int c = 0; c < MeasurementColumnCount; ++c) {
        headers.append(MeasurementColumnHeader(c));
        if (MeasurementHeaderMarked(c))
            marked.append(c - MeasurementFirstValue + 1);
    }
    EXPECT_EQ(headers.mid(0, 8), QStringList({"Index", "Date", "Time", "Energy", "M.Age", "Potential", "L-LU", "PC"}));
    EXPECT_EQ(headers[MeasurementFirstValue + 12], QStringLiteral("L-SP"));
    EXPECT_EQ(headers[MeasurementFirstValue + 18], QStringLiteral("R-SP"));
    EXPECT_EQ(marked, QList<int>({1, 2, 3, 4, 5, 6, 13, 14, 15, 16, 17, 18}));
}

class ListModels : public RecordTest {
protected:
    QStringList Numbers(const PatientListModel& model)
    {
        QStringList numbers;
        for (int r = 0; r < model.rowCount(); ++r)
            numbers.append(model.PatientAt(r)->Number);
        return numbers;
    }
};

TEST_F(ListModels, OrderTiesAndSearches)
{
    AddPatient("12", "Ann", false, Day(1970, 3, 4, 10, 30));
    AddPatient("123", "bert", true, Day(1980, 1, 1));
    AddPatient("1_3", "Ann", true, Day(1960, 1, 1));
    AddPatient("O'Neil", "Cleo", false, 0);
    AddPatient("a%b", "Dora", true, 3000);

    PatientListModel model;
    model.SetToday(Day(2020, 1, 1));
    ASSERT_TRUE(model.Read(db_, 1));
    EXPECT_EQ(Numbers(model), QStringList({"12", "123", "1_3", "a%b", "O'Neil"}))
        << "letter case ignored, as the database compares";
    EXPECT_EQ(model.data(model.index(2, PatientIndex)).toString(), QStringLiteral("3"));

    ASSERT_TRUE(model.Read(db_, -1));
    EXPECT_EQ(model.SearchRow("12"), 3) << "descending: 123 comes before 12";
    EXPECT_EQ(model.PatientAt(model.SearchRow("12"))->Number, QStringLiteral("123"));
    EXPECT_EQ(model.PatientAt(model.SearchRow("1_"))->Number, QStringLiteral("1_3")) << "_ is a plain character";
    EXPECT_EQ(model.SearchRow("1%"), -1) << "% is a plain character";
    EXPECT_EQ(model.PatientAt(model.SearchRow("a%"))->Number, QStringLiteral("a%b"));
    EXPECT_EQ(model.PatientAt(model.SearchRow("o'n"))->Number, QStringLiteral("O'Neil"));
    EXPECT_EQ(model.PatientAt(model.FirstRowNumberEquals(" o'neil "))->Number, QStringLiteral("O'Neil"));
    EXPECT_EQ(model.FirstRowNumberEquals("O'"), -1);
    EXPECT_EQ(model.PatientAt(model.FirstRowNumberBeginsWith("O'"))->Number, QStringLiteral("O'Neil"));

    // Equal names keep the order of entry, reversed with the direction.
    ASSERT_TRUE(model.Read(db_, 2));
    EXPECT_EQ(Numbers(model), QStringList({"12", "1_3", "123", "O'Neil", "a%b"}));
    ASSERT_TRUE(model.Read(db_, -2));
    EXPECT_EQ(Numbers(model), QStringList({"a%b", "O'Neil", "123", "1_3", "12"}));
    EXPECT_EQ(model.PatientAt(model.SearchRow("ann"))->Number, QStringLiteral("1_3"));

    // A birth date matches its whole day; text that is no date finds nothing.
    ASSERT_TRUE(model.Read(db_, 4));
    EXPECT_EQ(model.PatientAt(model.SearchRow(ShortDate(Day(1970, 3, 4))))->Number, QStringLiteral("12"));
    EXPECT_EQ(model.SearchRow(ShortDate(Day(1970, 3, 5))), -1);
    EXPECT_EQ(model.SearchRow("4th of March"), -1);
    ASSERT_TRUE(model.Read(db_, 3));
    EXPECT_EQ(model.SearchRow("12"), -1) << "no search by gender";

    // Derived cells through the model.
    ASSERT_TRUE(model.Read(db_, 1));
    const int dora = model.FirstRowNumberEquals("a%b");
    EXPECT_TRUE(model.data(model.index(dora, PatientBirth)).toString().isEmpty()) << "3000 days: not entered";
    EXPECT_EQ(model.data(model.index(0, PatientGender), Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
}

TEST_F(ListModels, ManyRowsReadAPageAtATime)
{
    db_.transaction();
    for (int i = 0; i < 1000; ++i)
        AddPatient(QStringLiteral("N%1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("n%1").arg(999 - i));
    db_.commit();
    PatientListModel model;
    ASSERT_TRUE(model.Read(db_, -1));
    ASSERT_EQ(model.rowCount(), 1000);
    // Rows far apart, and back: each page fetched, and refetched after it was dropped.
    for (int row : {0, 999, 500, 130, 999, 0, 640})
        EXPECT_EQ(model.data(model.index(row, PatientNumber)).toString(),
                  QStringLiteral("N%1").arg(999 - row, 4, 10, QLatin1Char('0')))
            << row;
    QSqlQuery(QStringLiteral("UPDATE ZeCust SET Name = 'changed' WHERE CustNo = 'N0500'"), db_);
    model.RefreshRows();
    EXPECT_EQ(model.data(model.index(499, PatientName)).toString(), QStringLiteral("changed"));
    EXPECT_EQ(model.FirstRowNumberBeginsWith("n09"), 0);
    EXPECT_EQ(model.FirstRowNumberBeginsWith("N0001"), 998);
}

TEST_F(ListModels, MeasurementsOfOnePatientNewestFirst)
{
    AddPatient("O'Neil", "Cleo", true, Day(1950, 1, 1));
    AddPatient("O'Neil-2", "Dora");
    const qint64 older = AddMeasurement("O'Neil", Day(2020, 1, 1), 30);
    const qint64 newer = AddMeasurement("o'neil", Day(2021, 1, 1), 40);
    AddMeasurement("O'Neil-2", Day(2022, 1, 1), 50);
    AddMeasurement("O'Neil", 0, 20, false);

    MeasurementListModel model;
    ASSERT_TRUE(model.Read(db_, " O'Neil ", Day(1950, 1, 1)));
    ASSERT_EQ(model.rowCount(), 3) << "exactly that patient's rows, letter case ignored";
    EXPECT_EQ(model.KeyAt(0), newer);
    EXPECT_EQ(model.KeyAt(1), older);
    EXPECT_TRUE(model.data(model.index(2, MeasurementDate)).toString().isEmpty()) << "no date: last, shown empty";
    EXPECT_EQ(model.data(model.index(1, MeasurementAge)).toString(), QStringLiteral("70.0"));
    EXPECT_EQ(model.data(model.index(1, MeasurementFirstValue)).toString(), QStringLiteral("31"));
    EXPECT_EQ(model.MeasurementAt(2)->Quality, PointValues(0.0)) << "empty STD";
    EXPECT_EQ(model.headerData(MeasurementFirstValue, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
              QColor(0, 0, 128));
    EXPECT_TRUE(model.headerData(MeasurementFirstValue, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model.headerData(MeasurementFirstValue + 6, Qt::Horizontal, Qt::FontRole).isValid());
    EXPECT_TRUE(model.data(model.index(0, MeasurementEnergy), Qt::FontRole).value<QFont>().bold());
}

} // namespace
