// What a player would call the colours the checks look for.
export const isGreen = ([r, g, b]) => g > 120 && g > r + 40 && g > b + 40;
export const isOrange = ([r, g, b]) => r > 170 && g > 100 && g < r && b < g - 40;
export const isRed = ([r, g, b]) => r > 150 && r > g + 80 && r > b + 80;
// The menu's sea of cells is blue-green; play's background has no green at all.
export const isMenuBackground = ([r, g, b]) => g > 20 && b > g && b > r;
export const isPlayBackground = ([r, g, b]) => g === 0 && b > 50 && b > r;
export const isWhite = ([r, g, b]) => r > 230 && g > 230 && b > 230;
export const isRedShot = ([r, g, b]) => r > 150 && r > g + 60 && r > b + 40;
export const same = (a, b) => a.every((p, i) => p.every((c, k) => Math.abs(c - b[i][k]) <= 2));
// A shot in any of the colours it cycles through: bright and saturated (the rim and its rings
// are white or grey).
export const isShot = (p) => Math.max(...p.slice(0, 3)) > 120 && Math.max(...p.slice(0, 3)) - Math.min(...p.slice(0, 3)) > 60;
