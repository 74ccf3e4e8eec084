#pragma once

#include <memory>

// What a configuration may contain: the limits the parser and the guard
// factories check against, and that the capabilities document reports.

struct SizePercentageFilterBoundaries {
    int firstMax;
    int firstMin;
    int secondMax;
    int secondMin;
};

struct PTZ_Boundaries {
    int maxNbrPresetsPerProfile;
};

// The most profiles one camera may have, by kind of device.
struct NumberOfProfilesBoundaries {
    int general;
    int mechanicalPTZ;
    int multiCamera;
};

struct ProfileBoundaries {
    int maxLengthName;  // UTF-8 characters
    int minLengthName;
    NumberOfProfilesBoundaries maxNbrProfilesPerCamera;
    int minNbrProfilesPerCamera;
};

struct SwayingFilterBoundaries {
    int max;
    int min;
};

struct ExcludeAreaBoundaries {
    int maxNbrInstances;
    int minNbrInstances;
    int maxNbrVertices;
    int minNbrVertices;
};

// Condition times in seconds.
struct LoiteringBoundaries {
    int maxNbrInstances;
    int minNbrInstances;
    int individualMax;
    int individualMin;
    int groupMax;
    int groupMin;
    int objectStoppedMax;
    int objectStoppedMin;
    int maxNbrVertices;
    int minNbrVertices;
};

// Owns one record per kind; a kind the product does not support is null.
class DataBoundaries {
  public:
    DataBoundaries(std::unique_ptr<SizePercentageFilterBoundaries> sizePercentage,
                   std::unique_ptr<PTZ_Boundaries> ptz, std::unique_ptr<ProfileBoundaries> profile,
                   std::unique_ptr<SwayingFilterBoundaries> swaying,
                   std::unique_ptr<ExcludeAreaBoundaries> excludeArea,
                   std::unique_ptr<LoiteringBoundaries> loitering);

    const SizePercentageFilterBoundaries* getSizePercentage() const {
        return m_sizePercentage.get();
    }
    const PTZ_Boundaries* getPTZ() const { return m_ptz.get(); }
    const ProfileBoundaries* getProfile() const { return m_profile.get(); }
    const SwayingFilterBoundaries* getSwaying() const { return m_swaying.get(); }
    const ExcludeAreaBoundaries* getExcludeArea() const { return m_excludeArea.get(); }
    const LoiteringBoundaries* getLoitering() const { return m_loitering.get(); }

    // The most profiles one camera may have on this device (multi-channel
    // limit, else mechanical PTZ limit, else the general one); requires the
    // profile record.
    int getMaxNbrProfilesPerCamera() const;

  private:
    std::unique_ptr<SizePercentageFilterBoundaries> m_sizePercentage;
    std::unique_ptr<PTZ_Boundaries> m_ptz;
    std::unique_ptr<ProfileBoundaries> m_profile;
    std::unique_ptr<SwayingFilterBoundaries> m_swaying;
    std::unique_ptr<ExcludeAreaBoundaries> m_excludeArea;
    std::unique_ptr<LoiteringBoundaries> m_loitering;
};
