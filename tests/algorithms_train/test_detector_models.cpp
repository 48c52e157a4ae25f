// Cluster features, object models, training and classification, the model list and the model
// file, on the test's own thread with real files in the test's temp folder.

#include "detectortesthelpers.h"

#include "testsupport.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <locale>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void expect_same_features(const ObjectFeature &a, const ObjectFeature &b, const std::string &what)
{
    EXPECT_EQ(a.extentX, b.extentX) << what;
    EXPECT_EQ(a.extentY, b.extentY) << what;
    EXPECT_EQ(a.extentZ, b.extentZ) << what;
    EXPECT_EQ(a.spread, b.spread) << what;
    EXPECT_EQ(a.radialHist, b.radialHist) << what;
    EXPECT_EQ(a.heightHist, b.heightHist) << what;
}

// A box of points: nx x ny x nz points spread evenly over the extents, from (x0, y0, z0).
std::vector<Point3f> box(float x0, float y0, float z0, float ex, float ey, float ez, int nx = 4,
                         int ny = 4, int nz = 4)
{
    std::vector<Point3f> pts;
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j)
            for (int k = 0; k < nz; ++k)
                pts.push_back(pt(x0 + ex * float(i) / float(nx - 1), y0 + ey * float(j) / float(ny - 1),
                                 z0 + ez * float(k) / float(nz - 1)));
    return pts;
}

std::string temp_path(const std::string &name)
{
    return testsupport::temp_dir() + "/" + name;
}

void write_text(const std::string &path, const std::string &text)
{
    testsupport::write_file(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string read_text(const std::string &path)
{
    const std::vector<uint8_t> b = testsupport::read_file(path);
    return std::string(b.begin(), b.end());
}

// Loads a model file written from `text` into the detector.
std::vector<ModelInfo> load_text(PointCloudAnomalyDetector &d, const std::string &text,
                                 const std::string &name = "models.bin")
{
    const std::string path = temp_path(name);
    write_text(path, text);
    std::vector<ModelInfo> infos;
    EXPECT_TRUE(d.LoadModelsFromFile(path, infos));
    return infos;
}

// A detector whose training takes clusters of `minPoints` points or more.
std::unique_ptr<PointCloudAnomalyDetector> detector_with_min_points(uint8_t minPoints)
{
    auto d = make_detector();
    DetectorConfig c = config_with_min_points(minPoints);
    d->Start(c);
    d->Reset();
    return d;
}

} // namespace

TEST(DetectorFeatures, MatchTheirDescription)
{
    const std::vector<std::vector<Point3f>> sets = {
        {pt(0, 0, 0), pt(1, 0, 0), pt(0, 2, 0), pt(0, 0, 3)},
        box(5.0f, -0.4f, -1.2f, 0.6f, 0.8f, 1.7f),
        box(10.0f, 2.0f, 0.0f, 0.05f, 1.5f, 0.3f, 2, 9, 3),
        {pt(3, 3, 3), pt(3, 3, 3), pt(3, 3, 3)}, // no extent: both histograms in their first bin
    };
    for (size_t i = 0; i < sets.size(); ++i)
        expect_same_features(PointCloudAnomalyDetector::extractFeatures(sets[i]), reference_features(sets[i]),
                             "set " + std::to_string(i));
    const ObjectFeature still = PointCloudAnomalyDetector::extractFeatures(sets[3]);
    EXPECT_EQ(still.radialHist[0], 1.0f);
    EXPECT_EQ(still.heightHist[0], 1.0f);

    // Nothing to divide by: zeros and empty bins.
    const ObjectFeature none = PointCloudAnomalyDetector::extractFeatures({});
    EXPECT_EQ(none.extentX, 0.0f);
    EXPECT_EQ(none.spread, 0.0f);
    EXPECT_EQ(none.radialHist, std::vector<float>(8, 0.0f));
    EXPECT_EQ(none.heightHist, std::vector<float>(5, 0.0f));

    // Intersection over the bins both histograms have.
    EXPECT_FLOAT_EQ(PointCloudAnomalyDetector::histogramIntersection({0.5f, 0.5f}, {0.2f, 0.7f, 0.1f}), 0.7f);
    EXPECT_EQ(PointCloudAnomalyDetector::histogramIntersection({}, {1.0f}), 0.0f);
    EXPECT_EQ(PointCloudAnomalyDetector::histogramIntersection({0.25f, 0.75f}, {0.25f, 0.75f}), 1.0f);
}

TEST(DetectorClassify, ScoresGatesAndTies)
{
    const std::vector<Point3f> cluster = box(6.0f, 0.0f, 0.0f, 1.5f, 0.5f, 1.0f);
    const ObjectFeature f = PointCloudAnomalyDetector::extractFeatures(cluster);
    auto d = make_detector();

    // Identical to a model's mean: every term 1.
    EXPECT_NEAR(PointCloudAnomalyDetector::matchScore(f, f), 1.0, 1e-6);

    // A mean of the same extents, no spread and no bins scores exactly 0.5: not enough. The
    // same with the cluster's spread scores 0.7 and is taken.
    ObjectFeature flat;
    flat.extentX = 1.5f, flat.extentY = 0.5f, flat.extentZ = 1.0f;
    EXPECT_EQ(PointCloudAnomalyDetector::matchScore(f, flat), 0.5);
    load_text(*d, "1\r\n" + model_text("flat", 1, 5, flat));
    EXPECT_EQ(d->classifyObject(cluster), -1);
    ObjectFeature spread = flat;
    spread.spread = f.spread;
    load_text(*d, "2\r\n" + model_text("flat", 1, 5, flat) + model_text("spread", 1, 5, spread));
    EXPECT_EQ(d->classifyObject(cluster), 1);

    // The horizontal gate: 1.5 times the model's longer side passes, 1.6 times does not.
    ObjectFeature narrow = f;
    narrow.extentX = 1.0f;
    EXPECT_GT(PointCloudAnomalyDetector::matchScore(f, narrow), 0.5);
    load_text(*d, "1\r\n" + model_text("narrow", 1, 5, narrow));
    EXPECT_EQ(d->classifyObject(cluster), 0);
    EXPECT_EQ(d->classifyObject(box(6.0f, 0.0f, 0.0f, 1.6f, 0.5f, 1.0f)), -1);
    // The height gate likewise.
    EXPECT_EQ(d->classifyObject(box(6.0f, 0.0f, 0.0f, 1.5f, 0.5f, 1.6f)), -1);

    // Equal scores: the earlier model keeps the place; the class is the model's index field.
    const std::string same = model_text("a", 1, 5, narrow) + model_text("b", 1, 5, narrow) +
                             model_text("c", 1, 5, narrow);
    load_text(*d, "3\r\n" + same);
    EXPECT_EQ(d->classifyObject(cluster), 0);
    ASSERT_TRUE(d->RemoveModel("a"));
    EXPECT_EQ(d->GetModelName(0), "b");
    EXPECT_EQ(d->classifyObject(cluster), 1) << "b kept its index field 1";

    // An empty model is never chosen, not even for a cluster without extent.
    std::vector<ModelInfo> none;
    d->LoadModelsFromFile(temp_path("absent.bin"), none);
    ASSERT_TRUE(d->AddModel("unknown"));
    EXPECT_EQ(d->classifyObject(cluster), -1);
    EXPECT_EQ(d->classifyObject({pt(4, 0, 0), pt(4, 0, 0)}), -1);
    EXPECT_EQ(d->classifyObject({}), -1);
}

TEST(DetectorTraining, KeepsPointsFromThreeToTwentyMetres)
{
    auto d = detector_with_min_points(2);
    // Two points at exactly 3 and 20 m count; those just outside do not.
    const std::vector<Point3f> edge = {pt(2.999f, 0, 0), pt(3.0f, 0, 0), pt(20.0f, 1, 1), pt(20.001f, 0, 0)};
    d->trainObject(edge, "edge");
    std::vector<ObjectModel> models = d->GetModels();
    ASSERT_EQ(models.size(), 1u);
    EXPECT_EQ(models[0].index, 0);
    EXPECT_EQ(models[0].sampleCount, 1);
    expect_same_features(models[0].mean, reference_features({pt(3.0f, 0, 0), pt(20.0f, 1, 1)}), "edge");
    EXPECT_EQ(models[0].mean.extentX, 17.0f);

    // Too few kept points (one at 3 m, the rest too near) train nothing.
    d->trainObject({pt(3.0f, 0, 0), pt(2.0f, 0, 0), pt(1.0f, 0, 0)}, "few");
    // Names the file could not carry are refused.
    d->trainObject(edge, "");
    d->trainObject(edge, "two words");
    d->trainObject(edge, "tab\there");
    EXPECT_EQ(d->GetModels().size(), 1u);

    // Names differing in case are two models; a model made in the run averages its samples.
    const std::vector<Point3f> a = box(5.0f, 0.0f, 0.0f, 0.5f, 0.5f, 0.5f);
    const std::vector<Point3f> b = box(6.0f, 1.0f, 0.0f, 1.0f, 0.25f, 0.75f);
    d->trainObject(a, "Box");
    d->trainObject(a, "box");
    d->trainObject(b, "box");
    models = d->GetModels();
    ASSERT_EQ(models.size(), 3u);
    EXPECT_EQ(models[1].name, "Box");
    EXPECT_EQ(models[2].name, "box");
    EXPECT_EQ(models[2].index, 2);
    EXPECT_EQ(models[2].sampleCount, 2);
    EXPECT_EQ(models[2].samples.size(), 2u);
    const ObjectFeature fa = reference_features(a), fb = reference_features(b);
    EXPECT_EQ(models[2].mean.extentX, fa.extentX / 2 + fb.extentX / 2);
    EXPECT_EQ(models[2].mean.spread, fa.spread / 2 + fb.spread / 2);
    for (size_t k = 0; k < 8; ++k)
        EXPECT_EQ(models[2].mean.radialHist[k], fa.radialHist[k] / 2 + fb.radialHist[k] / 2);
}

TEST(DetectorTraining, RetrainingALoadedModelWeighsTheFileMean)
{
    auto d = detector_with_min_points(20);
    ObjectFeature fileMean;
    fileMean.extentX = 0.5f, fileMean.extentY = 0.25f, fileMean.extentZ = 1.5f, fileMean.spread = 0.125f;
    fileMean.radialHist = {0.5f, 0.5f, 0, 0, 0, 0, 0, 0};
    fileMean.heightHist = {0, 0, 1, 0, 0};
    load_text(*d, "1\r\n" + model_text("box", 3, 1000, fileMean));

    const std::vector<Point3f> cluster = box(5.0f, 0.0f, 0.0f, 1.0f, 0.5f, 0.75f);
    d->trainObject(cluster, "box");
    const std::vector<ObjectModel> models = d->GetModels();
    ASSERT_EQ(models.size(), 1u);
    EXPECT_EQ(models[0].sampleCount, 4);
    EXPECT_GT(models[0].lastUpdate, 1000u);
    const ObjectFeature f = reference_features(cluster);
    const ObjectFeature &m = models[0].mean;
    // (3 x file mean + the new sample) / 4.
    EXPECT_FLOAT_EQ(m.extentX, (3 * 0.5f + f.extentX) / 4);
    EXPECT_FLOAT_EQ(m.extentY, (3 * 0.25f + f.extentY) / 4);
    EXPECT_FLOAT_EQ(m.extentZ, (3 * 1.5f + f.extentZ) / 4);
    EXPECT_FLOAT_EQ(m.spread, (3 * 0.125f + f.spread) / 4);
    ASSERT_EQ(m.radialHist.size(), 8u);
    ASSERT_EQ(m.heightHist.size(), 5u);
    for (size_t k = 0; k < 8; ++k)
        EXPECT_FLOAT_EQ(m.radialHist[k], (3 * fileMean.radialHist[k] + f.radialHist[k]) / 4) << k;
    for (size_t k = 0; k < 5; ++k)
        EXPECT_FLOAT_EQ(m.heightHist[k], (3 * fileMean.heightHist[k] + f.heightHist[k]) / 4) << k;

    // A loaded model trained with nothing keeps the file's mean.
    ObjectModel loaded = d->GetModels()[0];
    loaded.samples.clear();
    loaded.sampleCount = 3;
    PointCloudAnomalyDetector::updateModelMean(loaded);
    EXPECT_FLOAT_EQ(loaded.mean.extentX, 0.5f);
    EXPECT_EQ(loaded.mean.radialHist.size(), 8u);
}

TEST(DetectorModelFile, SavedModelsComeBackAsTheyWere)
{
    auto d = detector_with_min_points(10);
    d->trainObject(box(5.0f, 0.0f, 0.0f, 0.5f, 0.5f, 0.5f), "person");
    d->trainObject(box(5.5f, 0.0f, 0.0f, 0.6f, 0.4f, 1.7f), "person");
    d->trainObject(box(8.0f, 2.0f, 0.0f, 2.0f, 4.5f, 1.5f), "car");
    d->trainObject(box(12.0f, -3.0f, 0.0f, 0.001f, 0.00002f, 0.3f, 2, 2, 5), "pole");
    const std::vector<ObjectModel> trained = d->GetModels();
    ASSERT_EQ(trained.size(), 3u);
    const std::string path = temp_path("alg_model.bin");
    ASSERT_TRUE(d->SaveModels(path));

    // The file, line for line, as its description has it.
    std::string want = "3\r\n";
    for (const ObjectModel &m : trained)
        want += model_text(m.name, m.sampleCount, m.lastUpdate, m.mean);
    EXPECT_EQ(read_text(path), want);
    EXPECT_NE(want.find("e-05"), std::string::npos) << "exponent notation below 1e-4";

    auto back = make_detector();
    std::vector<ModelInfo> infos(2); // records already held stay in front
    infos[0].index = 77;
    ASSERT_TRUE(back->LoadModelsFromFile(path, infos));
    ASSERT_EQ(infos.size(), 5u);
    EXPECT_EQ(infos[0].index, 77);
    const std::vector<ObjectModel> loaded = back->GetModels();
    ASSERT_EQ(loaded.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const ObjectModel &a = trained[i], &b = loaded[i];
        EXPECT_EQ(b.index, int(i));
        EXPECT_EQ(b.name, a.name);
        EXPECT_EQ(b.sampleCount, a.sampleCount);
        EXPECT_EQ(b.lastUpdate, a.lastUpdate);
        EXPECT_TRUE(b.samples.empty());
        EXPECT_EQ(b.mean.radialHist.size(), a.mean.radialHist.size());
        EXPECT_EQ(b.mean.heightHist.size(), a.mean.heightHist.size());
        EXPECT_EQ(g6(b.mean.extentX), g6(a.mean.extentX));
        EXPECT_EQ(g6(b.mean.spread), g6(a.mean.spread));
        for (size_t k = 0; k < a.mean.radialHist.size(); ++k)
            EXPECT_EQ(g6(b.mean.radialHist[k]), g6(a.mean.radialHist[k]));
        EXPECT_EQ(infos[2 + i].index, int(i));
        EXPECT_EQ(infos[2 + i].sampleCount, uint32_t(a.sampleCount));
        EXPECT_EQ(infos[2 + i].time, a.lastUpdate);
    }

    // An empty list writes "0" and its line end.
    auto empty = make_detector();
    ASSERT_TRUE(empty->SaveModels(temp_path("empty.bin")));
    EXPECT_EQ(read_text(temp_path("empty.bin")), "0\r\n");
    // A folder that cannot take the file.
    EXPECT_FALSE(d->SaveModels(temp_path("no/such/folder/alg_model.bin")));
}

TEST(DetectorModelFile, ReadingStopsWhereTheFileStopsMakingSense)
{
    ObjectFeature m;
    m.extentX = 1, m.extentY = 2, m.extentZ = 3, m.spread = 0.5f;
    m.radialHist = std::vector<float>(8, 0.125f);
    m.heightHist = std::vector<float>(5, 0.2f);
    const std::string good = model_text("m", 2, 9, m);
    std::string twenty;
    for (int i = 0; i < 20; ++i)
        twenty += model_text("m" + std::to_string(i), i, 9, m);
    struct Case {
        const char *what;
        std::string text;
        size_t models;
    } cases[] = {
        {"twenty announced", "20\r\n" + twenty, 16},
        {"none announced", "0\r\n" + good, 0},
        {"a negative count", "-4\r\n" + good, 0},
        {"fewer than announced", "3\r\n" + good + good, 2},
        {"a negative bin count", "2\r\n" + good + "n 1 9\r\n1 2 3 4\r\n-1\r\n5 1 1 1 1 1\r\n", 1},
        {"a huge bin count", "2\r\n" + good + "n 1 9\r\n1 2 3 4\r\n1000000 1\r\n5 1 1 1 1 1\r\n", 1},
        {"65 bins", "2\r\n" + good + "n 1 9\r\n1 2 3 4\r\n65 1\r\n5 1 1 1 1 1\r\n", 1},
        {"a word for a number", "2\r\n" + good + "n 1 9\r\n1 x 3 4\r\n", 1},
        {"a number that is not one", "2\r\n" + good + "n 1 9\r\n1 nan 3 4\r\n", 1},
        {"nothing readable", "models\r\n", 0},
        {"an empty file", "", 0},
        {"bins cut short", "1\r\nn 1 9\r\n1 2 3 4\r\n8 0.5 0.5\r\n", 0},
        {"other bin counts, any white space", "1 n 1 9 1 2 3 4 2 0.5 0.5\t0\n", 1},
    };
    auto d = make_detector();
    for (const Case &c : cases) {
        std::vector<ModelInfo> infos;
        write_text(temp_path("cases.bin"), c.text);
        EXPECT_TRUE(d->LoadModelsFromFile(temp_path("cases.bin"), infos)) << c.what;
        EXPECT_EQ(d->GetModels().size(), c.models) << c.what;
        EXPECT_EQ(infos.size(), c.models) << c.what << ": a summary for every model read, and only then";
    }
    const std::vector<ObjectModel> odd = d->GetModels();
    EXPECT_EQ(odd[0].mean.radialHist.size(), 2u);
    EXPECT_TRUE(odd[0].mean.heightHist.empty());
}

TEST(DetectorModelFile, AMissingFileIsStartedAndOthersAreLeftAlone)
{
    auto d = make_detector();
    ASSERT_TRUE(d->AddModel("held"));
    std::vector<ModelInfo> infos(1);
    const std::string missing = temp_path("missing_model.bin");
    EXPECT_FALSE(d->LoadModelsFromFile(missing, infos));
    EXPECT_EQ(infos.size(), 1u);
    EXPECT_TRUE(d->GetModels().empty());
    EXPECT_EQ(read_text(missing), "0");

    // A folder where the file should be is not a file to read, nor replaced.
    const std::string folder = temp_path("folder_model.bin");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    EXPECT_FALSE(d->LoadModelsFromFile(folder, infos));
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));

    // A link planted where the file is missing is not followed to create its target.
    const std::string target = temp_path("planted_target");
    const std::string link = temp_path("linked_model.bin");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    EXPECT_FALSE(d->LoadModelsFromFile(link, infos));
    EXPECT_NE(::access(target.c_str(), F_OK), 0);

    // Saving over a link replaces the link, not the file it points to.
    write_text(target, "precious");
    ASSERT_TRUE(d->SaveModels(link));
    EXPECT_EQ(read_text(target), "precious");
    struct stat lst {};
    ASSERT_EQ(::lstat(link.c_str(), &lst), 0);
    EXPECT_TRUE(S_ISREG(lst.st_mode));

    // A file this user may not read stays as it is (root reads everything: nothing to show).
    if (::geteuid() != 0) {
        const std::string locked = temp_path("locked_model.bin");
        write_text(locked, "1\r\nx 1 2\r\n");
        ::chmod(locked.c_str(), 0);
        EXPECT_FALSE(d->LoadModelsFromFile(locked, infos));
        ::chmod(locked.c_str(), 0600);
        EXPECT_EQ(read_text(locked), "1\r\nx 1 2\r\n");
    }
}

TEST(DetectorModelFile, WrittenWithPointsInAnyLocale)
{
    auto d = detector_with_min_points(10);
    d->trainObject(box(5.0f, 0.0f, 0.0f, 0.25f, 1.5f, 0.75f), "box");
    const std::vector<ObjectModel> trained = d->GetModels();
    // A decimal comma in the C++ global locale and, where the system has one, in C's.
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale before = std::locale::global(std::locale(std::locale::classic(), new Comma));
    const std::string cBefore = std::setlocale(LC_NUMERIC, nullptr);
    const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    const std::string path = temp_path("comma.bin");
    ASSERT_TRUE(d->SaveModels(path));
    std::vector<ModelInfo> infos;
    auto back = make_detector();
    ASSERT_TRUE(back->LoadModelsFromFile(path, infos));
    std::setlocale(LC_NUMERIC, cBefore.c_str());
    std::locale::global(before);
    const std::string text = read_text(path);
    EXPECT_EQ(text.find(','), std::string::npos) << text;
    EXPECT_NE(text.find("0.25 1.5 0.75"), std::string::npos) << text;
    ASSERT_EQ(back->GetModels().size(), 1u);
    EXPECT_EQ(back->GetModels()[0].mean.extentY, 1.5f);
    if (!german)
        std::printf("(no de_DE locale on this system: the C locale part was not exercised)\n");
}

TEST(DetectorModelList, NamesAddingAndRemoving)
{
    auto d = make_detector();
    EXPECT_EQ(d->GetModelName(0), "unknown");
    ASSERT_TRUE(d->AddModel("unknown"));
    EXPECT_FALSE(d->AddModel("unknown"));
    ASSERT_TRUE(d->AddModel("Unknown"));
    EXPECT_FALSE(d->AddModel(""));
    EXPECT_FALSE(d->AddModel("two words"));
    EXPECT_FALSE(d->AddModel("line\r\n"));
    std::vector<ModelInfo> infos;
    d->LoadModelsFromCache(infos);
    ASSERT_EQ(infos.size(), 2u);
    EXPECT_EQ(infos[0].index, 0);
    EXPECT_EQ(infos[0].sampleCount, 0u);
    EXPECT_GT(infos[0].time, 1600000000000u) << "milliseconds since 1970, now";
    EXPECT_EQ(infos[1].index, 1);
    const ObjectModel empty = d->GetModels()[0];
    EXPECT_EQ(empty.mean.extentX, 0.0f);
    EXPECT_TRUE(empty.mean.radialHist.empty());

    struct Case {
        int position;
        const char *name;
    } names[] = {{-1, "unknown"}, {0, "unknown"}, {1, "Unknown"}, {2, "unknown"}, {1000, "unknown"}};
    for (const Case &c : names)
        EXPECT_EQ(d->GetModelName(c.position), c.name) << c.position;

    EXPECT_FALSE(d->RemoveModel("nobody"));
    EXPECT_EQ(d->GetModels().size(), 2u);
    ASSERT_TRUE(d->RemoveModel("unknown"));
    EXPECT_EQ(d->GetModelName(0), "Unknown");
    EXPECT_EQ(d->GetModels()[0].index, 1) << "the model moved up keeps its index field";
    infos.clear();
    d->LoadModelsFromCache(infos);
    ASSERT_EQ(infos.size(), 1u);
    EXPECT_EQ(infos[0].index, 1);
}
