// Reads and writes of a sealed object's fields.
class Point3 {
    public var x:Float = 0;
    public var y:Float = 0;
    public var z:Int = 0;
    public function new() {}
}

class Slots {
    // Under Flash the program runs from the class's __init__, with its script: Haxe's
    // boot class would wait for a stage before calling main.
    static function __init__() {
        #if flash
        run();
        #end
    }

    static function main() {
        #if !flash
        run();
        #end
    }

    static function run() {
        var p = new Point3();
        for (i in 0...5000000) {
            p.x = p.y + 1;
            p.y = p.x * 0.5;
            p.z = p.z + 1;
        }
        Out.line(p.z + " " + p.y);
    }
}
