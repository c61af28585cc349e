// The bundle through lilv, as hosts load it: discovery, the state API (save,
// text round trip, restore) and the factory preset.

#include "tests/lv2/LV2Host.h"
#include "tests/lv2/LV2TestSignals.h"

#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/presets/presets.h>

#include <random>

namespace
{
struct ChunkSource
{
  LV2_URID key, type;
  std::vector<unsigned char> bytes;
  static const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                              uint32_t* flags)
  {
    auto* self = static_cast<ChunkSource*>(handle);
    if (key != self->key) return nullptr;
    *size = self->bytes.size();
    *type = self->type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return self->bytes.data();
  }
};

struct ChunkSink
{
  LV2_URID key;
  std::vector<unsigned char> bytes;
  static LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value,
                                size_t size, uint32_t, uint32_t)
  {
    auto* self = static_cast<ChunkSink*>(handle);
    auto* data = static_cast<const unsigned char*>(value);
    if (key == self->key) self->bytes.assign(data, data + size);
    return LV2_STATE_SUCCESS;
  }
};

class LilvBundle : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mWorld = lilv_world_new();
    LilvNode* bundle = lilv_new_file_uri(mWorld, nullptr, LV2BundleDir().c_str());
    lilv_world_load_bundle(mWorld, bundle);
    lilv_node_free(bundle);
    mURI = lilv_new_uri(mWorld, kLV2URI);
    mPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), mURI);
    ASSERT_NE(nullptr, mPlugin);
    mMapFeature = {LV2_URID__map, mURIs.Feature()};
  }
  void TearDown() override
  {
    for (LilvInstance* instance : mInstances)
      lilv_instance_free(instance);
    lilv_node_free(mURI);
    lilv_world_free(mWorld);
  }

  LilvInstance* NewInstance()
  {
    const LV2_Feature* features[] = {&mMapFeature, nullptr};
    LilvInstance* instance = lilv_plugin_instantiate(mPlugin, 44100.0, features);
    if (instance) mInstances.push_back(instance);
    return instance;
  }
  LV2_URID Key() { return mURIs.Id((std::string(kLV2URI) + "#data").c_str()); }
  const LV2_State_Interface* StateOf(LilvInstance* instance)
  {
    return static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(instance, LV2_STATE__interface));
  }
  std::vector<unsigned char> Chunk(LilvInstance* instance)
  {
    ChunkSink sink = {Key(), {}};
    StateOf(instance)->save(lilv_instance_get_handle(instance), &ChunkSink::Store, &sink, 0,
                            nullptr);
    return sink.bytes;
  }
  void SetChunk(LilvInstance* instance, const std::vector<unsigned char>& bytes)
  {
    ChunkSource source = {Key(), mURIs.Id(LV2_ATOM__Chunk), bytes};
    ASSERT_EQ(LV2_STATE_SUCCESS,
              StateOf(instance)->restore(lilv_instance_get_handle(instance), &ChunkSource::Retrieve,
                                         &source, 0, nullptr));
  }

  LilvWorld* mWorld = nullptr;
  LilvNode* mURI = nullptr;
  const LilvPlugin* mPlugin = nullptr;
  URIMap mURIs;
  LV2_Feature mMapFeature = {};
  std::vector<LilvInstance*> mInstances;
};

std::vector<unsigned char> AwkwardValues()
{
  // Doubles no float can hold, so a trip through the ports would show.
  std::mt19937 random(11);
  std::uniform_real_distribution<double> value(0.0, 100.0);
  std::vector<double> values(kLV2NParams);
  for (double& v : values)
    v = value(random);
  values[0] = 0.0;
  values[1] = 100.0;
  std::vector<unsigned char> bytes(values.size() * sizeof(double));
  std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}
} // namespace

TEST_F(LilvBundle, StateRoundTripsEveryParameterBitForBit)
{
  LilvInstance* first = NewInstance();
  LilvInstance* second = NewInstance();
  ASSERT_TRUE(first && second);
  const std::vector<unsigned char> values = AwkwardValues();
  SetChunk(first, values);

  LilvState* saved = lilv_state_new_from_instance(
      mPlugin, first, mURIs.Feature(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
      LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr);
  ASSERT_NE(nullptr, saved);
  // Through the text a host stores in its session.
  char* text = lilv_state_to_string(mWorld, mURIs.Feature(), mURIs.UnmapFeature(), saved,
                                    "urn:test:state", nullptr);
  ASSERT_NE(nullptr, text);
  LilvState* loaded = lilv_state_new_from_string(mWorld, mURIs.Feature(), text);
  ASSERT_NE(nullptr, loaded);
  lilv_state_restore(loaded, second, nullptr, nullptr, 0, nullptr);
  EXPECT_EQ(values, Chunk(second));
  lilv_free(text);
  lilv_state_free(loaded);
  lilv_state_free(saved);
}

TEST_F(LilvBundle, TheFactoryPresetLoadsTheComponentsFactoryValues)
{
  LilvNode* presetClass = lilv_new_uri(mWorld, LV2_PRESETS__Preset);
  LilvNodes* presets = lilv_plugin_get_related(mPlugin, presetClass);
  ASSERT_EQ(1u, lilv_nodes_size(presets));
  const LilvNode* preset = lilv_nodes_get(presets, lilv_nodes_begin(presets));
  lilv_world_load_resource(mWorld, preset);
  LilvState* state = lilv_state_new_from_world(mWorld, mURIs.Feature(), preset);
  ASSERT_NE(nullptr, state);
  EXPECT_STREQ("Tolvane Delay", lilv_state_get_label(state));

  LilvInstance* instance = NewInstance();
  ASSERT_NE(nullptr, instance);
  SetChunk(instance, AwkwardValues());
  lilv_state_restore(state, instance, nullptr, nullptr, 0, nullptr);
  EXPECT_EQ(ComponentPresetData({}), Chunk(instance));
  lilv_state_free(state);
  lilv_nodes_free(presets);
  lilv_node_free(presetClass);
}
