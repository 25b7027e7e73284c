#include "render/Frustum.h"

#include "physics/Angles.h"

namespace {

// Angles are formed in double precision and rounded once to single.
float angle(double degrees) {
    return static_cast<float>(degrees * degreesToRadians);
}

Vector3 add(Vector3 a, Vector3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vector3 subtract(Vector3 a, Vector3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vector3 scale(Vector3 v, float s) {
    return {v.x * s, v.y * s, v.z * s};
}

} // namespace

ViewBasis viewBasis(float yaw, float pitch) {
    const float theta = angle(static_cast<double>(yaw) + 90.0);
    const float phi = angle(90.0 - static_cast<double>(pitch));
    const float psi = angle(-static_cast<double>(pitch));

    const float sinTheta = sine(theta);
    const float cosTheta = cosine(theta);
    const float sinPhi = sine(phi);
    const float sinPsi = sine(psi);

    ViewBasis basis;
    basis.direction = {sinPhi * cosTheta, sinPhi * sinTheta, cosine(phi)};
    basis.up = {sinPsi * cosTheta, sinPsi * sinTheta, cosine(psi)};
    const Vector3 d = basis.direction;
    const Vector3 u = basis.up;
    basis.right = {d.y * u.z - d.z * u.y, d.z * u.x - d.x * u.z, d.x * u.y - d.y * u.x};
    return basis;
}

FrustumPlanes frustumPlanes(Vector3 position, const ViewBasis& basis, float fov, float nearDistance,
                            float farDistance, float aspect) {
    const Vector3 nearCentre = add(position, scale(basis.direction, nearDistance));
    const Vector3 farCentre = add(position, scale(basis.direction, farDistance));

    const float t = tangent(static_cast<float>(static_cast<double>(fov) * degreesToRadians * 0.5));
    const float nearHeight = t * nearDistance;
    const float nearWidth = nearHeight * aspect;
    const float farHeight = t * farDistance;
    const float farWidth = farHeight * aspect;

    const Vector3 nearUp = scale(basis.up, nearHeight);
    const Vector3 nearRight = scale(basis.right, nearWidth);
    const Vector3 farUp = scale(basis.up, farHeight);
    const Vector3 farRight = scale(basis.right, farWidth);

    const Vector3 ntl = subtract(add(nearCentre, nearUp), nearRight);
    const Vector3 ntr = add(add(nearCentre, nearUp), nearRight);
    const Vector3 nbl = subtract(subtract(nearCentre, nearUp), nearRight);
    const Vector3 nbr = add(subtract(nearCentre, nearUp), nearRight);
    const Vector3 ftl = subtract(add(farCentre, farUp), farRight);
    const Vector3 ftr = add(add(farCentre, farUp), farRight);
    const Vector3 fbl = subtract(subtract(farCentre, farUp), farRight);
    const Vector3 fbr = add(subtract(farCentre, farUp), farRight);

    FrustumPlanes planes;
    planes[NearPlane] = planeFromPoints(ntl, nbr, ntr);
    planes[FarPlane] = planeFromPoints(ftr, fbl, ftl);
    planes[TopPlane] = planeFromPoints(ntr, ftl, ntl);
    planes[BottomPlane] = planeFromPoints(nbl, fbr, nbr);
    planes[LeftPlane] = planeFromPoints(ntl, fbl, nbl);
    planes[RightPlane] = planeFromPoints(nbr, fbr, ntr);
    return planes;
}

FrustumResult classifyBox(const FrustumPlanes& planes, const BoundingBox& box) {
    const Vector3 lo = box.min;
    const Vector3 hi = box.max;
    const Vector3 corners[8] = {{lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {hi.x, lo.y, lo.z},
                                {hi.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {hi.x, lo.y, hi.z},
                                {lo.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}};
    FrustumResult result = FrustumResult::Inside;
    for (const Plane& plane : planes) {
        const Vector3 n = plane.normal;
        int in = 0;
        int out = 0;
        for (int i = 0; i < 8 && (in == 0 || out == 0); ++i) {
            const Vector3 p = corners[i];
            const float distance = ((n.x * p.x + n.y * p.y) + n.z * p.z) + plane.d;
            if (distance < 0.0f) {
                ++out;
            } else {
                ++in;
            }
        }
        if (in == 0) {
            return FrustumResult::Outside;
        }
        if (out != 0) {
            result = FrustumResult::Intersect;
        }
    }
    return result;
}
